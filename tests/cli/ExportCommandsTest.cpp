#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "output/HtmlExport.h"
#include "output/PlotExport.h"
#include "output/SmallDay.h"
#include "output/TextExport.h"
#include "support/System.h"
#include "support/TempDir.h"

using namespace furlox;
using furlox::test::CommandResult;
using furlox::test::Stderr;
using furlox::test::TempDir;

namespace {

CommandResult Cli(const TempDir& dir, const std::vector<std::string>& args,
                  Stderr stderrTo = Stderr::Keep)
{
    return test::RunCliIn(dir.path(), args, stderrTo);
}

// Splits "a b c" at the blanks, for argument lists written as one text.
std::vector<std::string> Words(std::string_view text)
{
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        if (end > start) {
            words.emplace_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return words;
}

// A work directory holding the small race day.
struct SmallDayDir
{
    TempDir dir;
    kol::RaceDay day;
    SmallDayDir()
    {
        const test::KolBuilder b = test::SmallDay();
        b.WriteFiles(dir.path());
        day = b.Build();
    }
};

} // namespace

TEST(CliExports, WriteTheSameBytesAsTheWriters)
{
    SmallDayDir w;
    const std::string out = Utf8Text(w.dir / "out");

    ASSERT_EQ(Cli(w.dir, {"text", "-o", out, "--race", "2"}).exitCode, 0);
    EXPECT_EQ(w.dir.Read("out"), OneRaceText(AnalyseRace(w.day, 2)));
    ASSERT_EQ(Cli(w.dir, {"text", "--all", "-o", out}).exitCode, 0);
    EXPECT_EQ(w.dir.Read("out"), AllRacesText(w.day));
    ASSERT_EQ(Cli(w.dir, {"plot", "-o", out}).exitCode, 0);
    EXPECT_EQ(w.dir.Read("out"), PlotText(w.day));

    w.dir.Write("Foot.dat", "</body></html>\r\n");
    ASSERT_EQ(Cli(w.dir, {"html", "-o", out, "--race", "0"}).exitCode, 0);
    TempDir expected;
    expected.Write("Foot.dat", "</body></html>\r\n");
    WriteHtmlExport(AnalyseRace(w.day, 0), expected / "page", expected.path());
    EXPECT_EQ(w.dir.Read("out"), expected.Read("page"));
    EXPECT_EQ(w.dir.Read("Head.dat"), expected.Read("Head.dat"));
}

TEST(CliExports, FailuresExitWithAMessageAndKeepTheOldFile)
{
    SmallDayDir w;
    const std::string out = Utf8Text(w.dir / "out");
    w.dir.Write("out", "old");

    auto r = Cli(w.dir, {"text", "-o", out, "--race", "3"}, Stderr::Merge);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("レース 3"), std::string::npos) << r.out;

    r = Cli(w.dir, {"plot", "-o", Utf8Text(w.dir / "none" / "x")}, Stderr::Merge);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("を作成できません"), std::string::npos) << r.out;
    EXPECT_EQ(w.dir.Read("out"), "old");

    TempDir empty;
    r = Cli(empty, {"plot", "-o", out}, Stderr::Merge);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("レースデータ"), std::string::npos) << r.out;

    for (const char* args :
         {"text -o x", "text -o x --race 1 --all", "text --race 1", "text -o x --race -1",
          "html -o x", "html -o x --all", "plot", "plot -o x --race 0", "detail --race 0",
          "detail --race 0 --horse x"}) {
        EXPECT_EQ(Cli(w.dir, Words(args), Stderr::Discard).exitCode, 2) << args;
    }
    EXPECT_EQ(w.dir.Read("out"), "old");
}

TEST(CliDetail, OneJsonObject)
{
    SmallDayDir w;
    // The builder's horses carry no prizes; give horse 1 of race 2 some.
    test::KolBuilder b = test::SmallDay();
    b.race(2)
        .runners[0]
        .SetHorse(kol::horse::kMainPrize, "0001234567")
        .SetHorse(kol::horse::kPrizePart1, "0000000000")
        .SetHorse(kol::horse::kPrizePart2, "0000000000")
        .SetHorse(kol::horse::kOwner, "\"引用\"\\");
    b.WriteFiles(w.dir.path());

    auto r = Cli(w.dir, {"detail", "--race", "2", "--horse", "1"});
    ASSERT_EQ(r.exitCode, 0);
    const std::string& json = r.out;
    EXPECT_EQ(
        json.rfind("{\"race\": 2, \"horse\": 1, \"labels\": {\"lblSeinen\": \"牡4   鹿毛  \", "
                   "\"lblUmaKigou\": \"\", ",
                   0),
        0u)
        << json;
    EXPECT_NE(json.find("\"lblBanusi\": \"馬主：\\\"引用\\\"\\\\\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"lblHonSyokin\": \"本賞金：123万円\""), std::string::npos);
    EXPECT_NE(json.find("\"lbl11\": \"  0  0  0  0\"}, \"coatPicture\": \"Image3\", "
                        "\"chart\": {\"max\": 110, \"min\": -40, \"points\": [[1, 80]]}, "
                        "\"rows\": [{\"header\": \"5走前\", \"cells\": [\"\", \"\", \"\", \"\", "
                        "\"\", \"\", \"\", \"\", \"\", \"\", \"\", \"\", \"\", \"\", \"\", \"\"], "
                        "\"state\": 0}, "),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"header\": \"1走前\", \"cells\": [\"東京05/13\", "), std::string::npos);
    EXPECT_EQ(json.substr(json.size() - 4), "}]}\n");

    // Horse numbers count from 1; a horse or race that is not there is an error.
    for (const char* args : {"detail --race 2 --horse 0", "detail --race 2 --horse 10",
                             "detail --race 3 --horse 1", "detail --race 2 --horse 2"}) {
        r = Cli(w.dir, Words(args), Stderr::Merge);
        EXPECT_EQ(r.exitCode, 1) << args;
        EXPECT_FALSE(r.out.empty()) << args;
    }
}
