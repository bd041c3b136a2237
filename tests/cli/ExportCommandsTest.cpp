#include <gtest/gtest.h>

#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "output/HtmlExport.h"
#include "output/PlotExport.h"
#include "output/SmallDay.h"
#include "output/TextExport.h"
#include "support/TempDir.h"

using namespace furlox;
using furlox::test::RunCommand;
using furlox::test::TempDir;

namespace {

std::string Cli(const TempDir& dir, const std::string& args)
{
    return std::string(FURLOX_CLI) + " --workdir " + dir.path().string() + " " + args;
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
    const std::string out = (w.dir / "out").string();

    ASSERT_EQ(RunCommand(Cli(w.dir, "text -o " + out + " --race 2")).exitCode, 0);
    EXPECT_EQ(w.dir.Read("out"), OneRaceText(AnalyseRace(w.day, 2)));
    ASSERT_EQ(RunCommand(Cli(w.dir, "text --all -o " + out)).exitCode, 0);
    EXPECT_EQ(w.dir.Read("out"), AllRacesText(w.day));
    ASSERT_EQ(RunCommand(Cli(w.dir, "plot -o " + out)).exitCode, 0);
    EXPECT_EQ(w.dir.Read("out"), PlotText(w.day));

    w.dir.Write("Foot.dat", "</body></html>\r\n");
    ASSERT_EQ(RunCommand(Cli(w.dir, "html -o " + out + " --race 0")).exitCode, 0);
    TempDir expected;
    expected.Write("Foot.dat", "</body></html>\r\n");
    WriteHtmlExport(AnalyseRace(w.day, 0), expected / "page", expected.path());
    EXPECT_EQ(w.dir.Read("out"), expected.Read("page"));
    EXPECT_EQ(w.dir.Read("Head.dat"), expected.Read("Head.dat"));
}

TEST(CliExports, FailuresExitWithAMessageAndKeepTheOldFile)
{
    SmallDayDir w;
    const std::string out = (w.dir / "out").string();
    w.dir.Write("out", "old");

    auto r = RunCommand(Cli(w.dir, "text -o " + out + " --race 3 2>&1"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("レース 3"), std::string::npos) << r.out;

    r = RunCommand(Cli(w.dir, "plot -o " + (w.dir / "none" / "x").string() + " 2>&1"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("を作成できません"), std::string::npos) << r.out;
    EXPECT_EQ(w.dir.Read("out"), "old");

    TempDir empty;
    r = RunCommand(Cli(empty, "plot -o " + out + " 2>&1"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("レースデータ"), std::string::npos) << r.out;

    for (const char* args :
         {"text -o x", "text -o x --race 1 --all", "text --race 1", "text -o x --race -1",
          "html -o x", "html -o x --all", "plot", "plot -o x --race 0", "detail --race 0",
          "detail --race 0 --horse x"}) {
        EXPECT_EQ(RunCommand(Cli(w.dir, std::string(args) + " 2>/dev/null")).exitCode, 2) << args;
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

    auto r = RunCommand(Cli(w.dir, "detail --race 2 --horse 1"));
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
        r = RunCommand(Cli(w.dir, std::string(args) + " 2>&1"));
        EXPECT_EQ(r.exitCode, 1) << args;
        EXPECT_FALSE(r.out.empty()) << args;
    }
}
