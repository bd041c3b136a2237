#include <gtest/gtest.h>

#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/KolRecords.h"
#include "output/SmallDay.h"
#include "output/TextExport.h"
#include "support/KolBuilder.h"
#include "support/TempDir.h"

using namespace furlox;
using furlox::test::TempDir;

namespace {

// UTF-8 lines as the CP932 bytes of a file, CR LF after each.
std::string FileOf(std::initializer_list<const char*> utf8Lines)
{
    std::string bytes;
    for (const char* line : utf8Lines) {
        bytes += ToCp932(line);
        bytes += "\r\n";
    }
    return bytes;
}

GridRow Row(std::initializer_list<const char*> utf8Cells)
{
    GridRow row;
    std::size_t i = 0;
    for (const char* cell : utf8Cells) {
        row[i++] = ToCp932(cell);
    }
    return row;
}

} // namespace

TEST(TextExport, HeaderAndRunnerLineWidths)
{
    EXPECT_EQ(TextHeaderLine(),
              ToCp932("番   馬          名   斤量 騎  手  5前  4前  3前  2前  1前  総 合 印"));
    EXPECT_EQ(TextHeaderLine().size(), 68u);

    const GridRow full = Row({"1", "12", "サクラバクシンオー", "57.0", "武豊  ", "112", "98", "*",
                              "-5", "100", "101.3", "◎"});
    EXPECT_EQ(TextRunnerLine(full),
              ToCp932("12 サクラバクシンオー 57.0 武豊    112   98    *   -5  100  101.3 ◎"));
    EXPECT_EQ(TextRunnerLine(full).size(), 68u);

    // Short cells are filled; an empty mark is two blanks; "*" stays as the grid shows it.
    const GridRow sparse = Row({"3", "3", "ウマ", ".0", "騎手", "*", "*", "*", "*", "*", "*", ""});
    EXPECT_EQ(TextRunnerLine(sparse),
              ToCp932(" 3 ウマ               .0 騎手      *    *    *    *    *      *   "));

    // A cell longer than its width is written whole and shifts the rest of the line.
    const GridRow wide =
        Row({"1", "100", "ウマ", "100.0", "騎手騎手", "-1000", "1", "2", "3", "4", "-1234.5", "×"});
    EXPECT_EQ(TextRunnerLine(wide),
              ToCp932("100 ウマ               100.0 騎手騎手 -1000    1    2    3    4 -1234.5 ×"));
}

TEST(TextExport, AllRacesFileWholeBytes)
{
    const kol::RaceDay day = test::SmallDay().Build();
    const std::string all = AllRacesText(day);
    // The one-race file is the first block without the empty line that ends it.
    const std::string one = OneRaceText(AnalyseRace(day, 0));
    EXPECT_EQ(all.substr(0, one.size() + 2), one + "\r\n");
    EXPECT_EQ(all, FileOf({
                       "2001/05/27(日) 発走15:40 03頭",
                       "東京11R サラ3歳以上 1000万 別定 テスト特別 芝1600M",
                       "",
                       "単勝： 1  枠連： 1-2   勝負度： B",
                       "",
                       "番   馬          名   斤量 騎  手  5前  4前  3前  2前  1前  総 合 印",
                       " 1 テストホース01     55.0 騎手      *    *    *    *   96   96.0 ◎",
                       " 2 テストホース02     55.0 騎手      *    *    *   90  100   95.0 ○",
                       " 3 テストホース03     55.0 騎手      *    *    *    *    *      *   ",
                       "",
                       "2001/05/27(日) 発走15:40 02頭",
                       "東京12R サラ3歳以上 1000万 別定 テスト特別 芝1600M",
                       "",
                       "データ充足率が規定に満たないため推奨馬券はありません。",
                       "",
                       "番   馬          名   斤量 騎  手  5前  4前  3前  2前  1前  総 合 印",
                       " 1 テストホース01     55.0 騎手      *    *    *    *    *      *   ",
                       " 2 テストホース02     55.0 騎手      *    *    *    *    *      *   ",
                       "",
                       "2001/05/27(日) 発走15:40 09頭",
                       "中山01R サラ3歳 未勝利 馬齢 テスト特別 芝1600M",
                       "",
                       "単勝： 9  馬連： 3-9 7-9 1-9 5-9   勝負度： B",
                       "",
                       "番   馬          名   斤量 騎  手  5前  4前  3前  2前  1前  総 合 印",
                       " 1 テストホース01     55.0 騎手      *    *    *    *   80   80.0 △",
                       " 2 テストホース02     55.0 騎手      *    *    *    *    *      *   ",
                       " 3 テストホース03     55.0 騎手      *    *    *    *   90   90.0 ○",
                       " 4 テストホース04     55.0 騎手      *    *    *    *    *      *   ",
                       " 5 テストホース05     55.0 騎手      *    *    *    *   70   70.0 ×",
                       " 6 テストホース06     55.0 騎手      *    *    *    *    *      *   ",
                       " 7 テストホース07     55.0 騎手      *    *    *    *   85   85.0 ▲",
                       " 8 テストホース08     55.0 騎手      *    *    *    *    *      *   ",
                       " 9 テストホース09     55.0 騎手      *    *    *    *  100  100.0 ◎",
                       "",
                   }));
}

TEST(TextExport, AFailingRaceStopsTheBatchAndNamesTheRace)
{
    test::KolBuilder b = test::SmallDay();
    b.race(1).headCount = "ab";
    try {
        AllRacesText(b.Build());
        ADD_FAILURE() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_EQ(
            ToUtf8(e.what()),
            "2番目のレース「東京12R サラ3歳以上 1000万 テスト特別」: 'ab' は整数ではありません");
    }

    b = test::SmallDay();
    b.race(2).runners[4].entry.Set(kol::entry::kWeightCarried, "5x0");
    try {
        AllRacesText(b.Build());
        ADD_FAILURE() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_EQ(ToUtf8(e.what()).rfind("3番目のレース「中山01R", 0), 0u) << ToUtf8(e.what());
        EXPECT_NE(ToUtf8(e.what()).find("'5x0' は整数ではありません"), std::string::npos);
    }
}

TEST(TextExport, SuggestedFileNames)
{
    namespace rc = kol::race;
    test::KolBuilder b;
    b.AddRace();
    b.AddRace().Set(rc::kCourseCode, "05").Set(rc::kRaceNumber, "01");
    // A local course: its name and race number from the record, not from header bytes.
    b.AddRace().Set(rc::kCourseCode, "35").Set(rc::kRaceNumber, "03");
    const kol::RaceDay day = b.Build();
    const kol::RaceTexts& race = day.races[0];
    EXPECT_EQ(ToUtf8(SuggestedRaceFileName(race)), "010527東京11");
    EXPECT_EQ(SuggestedAllRacesFileName(race), "010527s");
    EXPECT_EQ(SuggestedPlotFileName(race), "010527w");
    EXPECT_EQ(ToUtf8(SuggestedRaceFileName(day.races[1])), "010527中山1");
    EXPECT_EQ(ToUtf8(SuggestedRaceFileName(day.races[2])), "010527札(地)3");
}

TEST(TextExport, AFailedWriteReportsThePathAndKeepsTheOldFile)
{
    TempDir dir;
    const auto missing = dir / "no-such-folder" / "out.txt";
    try {
        WriteExportFile(missing, "x");
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(ToUtf8(e.what()), "ファイル " + Utf8Text(missing) + " を作成できません");
    }
    EXPECT_FALSE(std::filesystem::exists(missing));

    // A path below a plain file cannot be created, not even by the superuser.
    dir.Write("plain", "old");
    EXPECT_THROW(WriteExportFile(dir / "plain" / "out.txt", "x"), Error);
    EXPECT_EQ(dir.Read("plain"), "old");

    dir.Write("out.txt", "old");
    WriteExportFile(dir / "out.txt", "new\r\n");
    EXPECT_EQ(dir.Read("out.txt"), "new\r\n");
}
