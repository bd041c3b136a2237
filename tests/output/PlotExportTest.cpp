#include <gtest/gtest.h>

#include "base/Encoding.h"
#include "base/Error.h"
#include "output/PlotExport.h"
#include "output/SmallDay.h"
#include "support/KolBuilder.h"

using namespace furlox;

namespace {

// The race texts of 東京 on 27 May 2001, with the meeting number and day as the record reads
// them ("0308": the 3rd meeting, 8th day).
kol::RaceTexts Texts(const char* meeting)
{
    kol::RaceTexts race;
    race.dateText = ToCp932("2001/05/27(日)");
    race.meetingText = meeting;
    race.raceHeader = ToCp932("東京11R サラ3歳以上 1000万 別定 テスト特別 芝1600M");
    race.courseCode = 4;
    race.date = {2001, 5, 27};
    const std::string m(meeting);
    race.meetingNumber = std::stoi(m.substr(0, 2));
    race.meetingDay = std::stoi(m.substr(2, 2));
    return race;
}

// A race with bets: ◎ `top` and the pairs written as the bet texts show them (" 3-12").
AnalysedRace WithBets(int raceNumber, int headCount, int top,
                      std::initializer_list<std::pair<int, int>> pairs, Confidence grade)
{
    AnalysedRace race;
    race.raceNumber = raceNumber;
    race.headCount = headCount;
    race.bets.made = true;
    race.bets.win = top;
    race.bets.kind = headCount >= 9 ? BetKind::Quinella : BetKind::BracketQuinella;
    std::size_t k = 0;
    for (const auto& [low, high] : pairs) {
        race.bets.pairs[k++] = {low, high};
    }
    race.bets.combinationCount = static_cast<int>(k);
    race.bets.confidence = grade;
    race.markTable[0] = top;
    return race;
}

// No double-byte character of the text is cut: every lead byte has its second byte.
bool WholeCharacters(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
            const auto trail = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
            if (trail < 0x40 || trail == 0x7F || trail > 0xFC) {
                return false;
            }
            ++i;
        }
    }
    return true;
}

} // namespace

TEST(PlotExport, DateLine)
{
    EXPECT_EQ(ToUtf8(PlotDateLine(Texts("0308"))),
              "東京 2001年  3回  8日目  5月 27日(日) [9999] Furlox Plus");
    // Two-digit meeting numbers and days are written whole.
    EXPECT_EQ(ToUtf8(PlotDateLine(Texts("0312"))),
              "東京 2001年  3回 12日目  5月 27日(日) [9999] Furlox Plus");
    EXPECT_EQ(ToUtf8(PlotDateLine(Texts("1010"))),
              "東京 2001年 10回 10日目  5月 27日(日) [9999] Furlox Plus");

    kol::RaceTexts december = Texts("0501");
    december.dateText = ToCp932("2001/12/01(土)");
    december.date = {2001, 12, 1};
    EXPECT_EQ(ToUtf8(PlotDateLine(december)),
              "東京 2001年  5回  1日目 12月  1日(土) [9999] Furlox Plus");
}

TEST(PlotExport, RaceLines)
{
    using enum Confidence;
    // Quinella: the padded bet texts joined by one blank, the selection filled to 39 bytes.
    EXPECT_EQ(PlotRaceLine(WithBets(11, 16, 3, {{3, 12}, {3, 5}}, A)),
              "11R   3  3-12  3- 5" + std::string(25, ' ') + "| A");
    EXPECT_EQ(PlotRaceLine(WithBets(1, 9, 5, {{1, 5}}, C)),
              " 1R   5  1- 5" + std::string(31, ' ') + "| C");
    // Six two-digit pairs come to 38 bytes.
    EXPECT_EQ(PlotRaceLine(WithBets(
                  12, 18, 12, {{10, 12}, {11, 12}, {12, 13}, {12, 14}, {12, 15}, {12, 16}}, B)),
              "12R  12 10-12 11-12 12-13 12-14 12-15 12-16 | B");
    // A longer selection is not cut; the bar moves right.
    EXPECT_EQ(PlotRaceLine(WithBets(
                  12, 120, 100,
                  {{100, 101}, {100, 102}, {100, 103}, {100, 104}, {100, 105}, {100, 106}}, B)),
              "12R  100 100-101 100-102 100-103 100-104 100-105 100-106| B");
    // Bracket quinella: bare digit pairs, three blanks before the first, four before the rest.
    EXPECT_EQ(PlotRaceLine(WithBets(2, 8, 3, {{3, 5}, {3, 6}}, A)),
              " 2R   3    35    36" + std::string(25, ' ') + "| A");
    // One rated runner: the win bet alone.
    EXPECT_EQ(PlotRaceLine(WithBets(3, 2, 1, {}, C)), " 3R   1" + std::string(37, ' ') + "| C");
}

// The bet type the analysis chose decides the pair list: a field of eight is a bracket
// quinella, of nine a quinella, in the analysis and in this file alike.
TEST(PlotExport, BetTypeOfTheAnalysis)
{
    for (int runners : {8, 9}) {
        test::KolBuilder b;
        b.AddRace();
        for (int h = 1; h <= runners; ++h) {
            b.AddRunner().Figures({100 - h});
        }
        const std::vector<std::string> lines = PlotLines(b.Build());
        ASSERT_EQ(lines.size(), 7u);
        EXPECT_EQ(lines[3], runners == 8 ? "11R   1    12    13    14    15    16    17 | B"
                                         : "11R   1  1- 2  1- 3  1- 4  1- 5  1- 6  1- 7 | B")
            << runners;
    }
}

// A course whose name is not two characters: the block and the race lines come from the race
// record, not from bytes cut out of the header, so no half character and no "0R".
TEST(PlotExport, ALocalCourseGivesAWellFormedFile)
{
    namespace rc = kol::race;
    test::KolBuilder b;
    b.AddRace().Set(rc::kCourseCode, "35").Set(rc::kRaceNumber, "03");
    for (int h = 1; h <= 9; ++h) {
        b.AddRunner().Figures({100 - h});
    }
    b.AddRace().Set(rc::kCourseCode, "35").Set(rc::kRaceNumber, "04");
    b.AddRunner().Figures({90});
    b.AddRace().Set(rc::kCourseCode, "47").Set(rc::kRaceNumber, "05"); // a code without a name
    b.AddRunner().Figures({90});
    b.AddRace().Set(rc::kCourseCode, "51").Set(rc::kRaceNumber, "06"); // 美浦南
    b.AddRunner().Figures({90});
    b.AddRace().Set(rc::kCourseCode, "52").Set(rc::kRaceNumber, "07"); // 美浦北
    b.AddRunner().Figures({90});
    const std::string text = PlotText(b.Build());
    EXPECT_TRUE(WholeCharacters(text));
    const std::string separator = std::string(76, '-') + "\r\n";
    auto dateLine = [](const char* course) {
        return ToCp932(std::string(course) +
                       " 2001年  3回 12日目  5月 27日(日) [9999] Furlox Plus") +
               "\r\n";
    };
    const std::string winOnly = std::string(37, ' ') + "| ";
    const std::string expected =
        separator + dateLine("札(地)") + separator +
        " 3R   1  1- 2  1- 3  1- 4  1- 5  1- 6  1- 7 | B\r\n" + // -1 (1000万) +1 (サラ3歳)
        " 4R   1" + winOnly + "B\r\n" +                         // also +1 (04) -1 (1 runner)
        separator + dateLine("    ") + separator + " 5R   1" + winOnly + "C\r\n" + // -1 (05)
        separator + dateLine("美浦南") + separator + " 6R   1" + winOnly + "B\r\n" + separator +
        dateLine("美浦北") + separator + " 7R   1" + winOnly + "C\r\n" + separator +
        "\r\nThis file was automatically generated by Furlox Plus.\r\n";
    EXPECT_EQ(ToUtf8(text), ToUtf8(expected));
}

TEST(PlotExport, WholeFileForASmallDay)
{
    const std::string separator(76, '-');
    const std::string expected =
        separator + "\r\n" + ToCp932("東京 2001年  3回 12日目  5月 27日(日) [9999] Furlox Plus") +
        "\r\n" + separator + "\r\n" + "11R   1    12" + std::string(31, ' ') + "| B\r\n" +
        separator + "\r\n" + ToCp932("中山 2001年  3回 12日目  5月 27日(日) [9999] Furlox Plus") +
        "\r\n" + separator + "\r\n" + " 1R   9  3- 9  7- 9  1- 9  5- 9" + std::string(13, ' ') +
        "| B\r\n" + separator + "\r\n" + "\r\n" +
        "This file was automatically generated by Furlox Plus.\r\n";
    EXPECT_EQ(PlotText(test::SmallDay().Build()), expected);
}

TEST(PlotExport, CourseBlocks)
{
    namespace rc = kol::race;
    test::KolBuilder b;
    // 東京, 中山, 東京 again; the second race has no bets but its course still gets a block.
    b.AddRace();
    b.AddRunner().Figures({96});
    b.AddRace().Set(rc::kCourseCode, "05");
    b.AddRunner();
    b.AddRace();
    b.AddRunner().Figures({90});
    const std::vector<std::string> lines = PlotLines(b.Build());
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(ToUtf8(lines[1]).substr(0, 7), "東京 ");
    EXPECT_EQ(lines[3].substr(0, 5), "11R  ");
    EXPECT_EQ(ToUtf8(lines[5]).substr(0, 7), "中山 ");
    EXPECT_EQ(lines[7], PlotSeparator());
    EXPECT_EQ(ToUtf8(lines[8]).substr(0, 7), "東京 ");
    EXPECT_EQ(lines[10].substr(0, 5), "11R  ");
    EXPECT_EQ(lines[11], PlotSeparator());
    EXPECT_EQ(lines[12], "");
}

TEST(PlotExport, AFailingRaceStopsTheFile)
{
    test::KolBuilder b = test::SmallDay();
    b.race(2).headCount = "9 ";
    try {
        PlotText(b.Build());
        ADD_FAILURE() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_EQ(ToUtf8(e.what()).rfind("3番目のレース「中山01R", 0), 0u) << ToUtf8(e.what());
    }
}

TEST(PlotExport, AnEmptyDayHasOnlyTheClosingLines)
{
    EXPECT_EQ(PlotText(kol::RaceDay{}), std::string(76, '-') +
                                            "\r\n\r\nThis file was automatically generated by "
                                            "Furlox Plus.\r\n");
}
