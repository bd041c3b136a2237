#include <gtest/gtest.h>

#include <filesystem>

#include "base/Encoding.h"
#include "kol/SampleSeason.h"
#include "support/OpenOutcome.h"
#include "support/System.h"
#include "support/TempDir.h"

namespace furlox {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunCli;
using test::Stderr;
using test::TempDir;

test::CommandResult MakeSeason(const fs::path& out, const std::string& seed,
                               const std::string& days)
{
    return RunCli({"sample-season", "--seed", seed, "--days", days, "--out", Utf8Text(out)},
                  Stderr::Merge);
}

// The command writes one archive per day, named by date; the program's own open takes each
// (libarchive) and finds the generator's files in it; the same command writes the same bytes.
TEST(CliSampleSeason, WritesDatedArchivesThatTheOpenFlowLoads)
{
    const TempDir dir;
    const test::CommandResult made = MakeSeason(dir / "季節 1", "3", "3");
    ASSERT_EQ(made.exitCode, 0) << made.out;
    EXPECT_EQ(made.out, "") << "nothing on stdout or, off a terminal, on stderr";
    EXPECT_EQ(test::NamesIn(dir / "季節 1"),
              (std::set<std::string>{"20010106.lzh", "20010107.lzh", "20010113.lzh"}));

    ASSERT_EQ(MakeSeason(dir / "again", "3", "3").exitCode, 0);
    kol::SeasonOptions options;
    options.seed = 3;
    options.days = 3;
    kol::SampleSeason season(options);
    while (!season.Done()) {
        const kol::SeasonDay day = season.NextDay();
        const std::string name = kol::SeasonArchiveName(day.date);
        EXPECT_EQ(ReadFile(dir / "季節 1" / name), ReadFile(dir / "again" / name)) << name;

        const fs::path work = dir / ("work" + std::to_string(day.index));
        fs::create_directories(work);
        const test::OpenOutcome opened = test::OpenArchive(dir / "季節 1" / name, work);
        ASSERT_EQ(opened.status, test::Opened::Day) << ToUtf8(opened.message);
        EXPECT_TRUE(opened.message.empty()) << ToUtf8(opened.message);
        EXPECT_TRUE(opened.warnings.empty());
        EXPECT_EQ(opened.day.RaceCount(), 24);
        EXPECT_EQ(ReadFile(work / kol::kRaceFileName), day.files.raceFile);
        EXPECT_EQ(ReadFile(work / kol::kEntryFileName), day.files.entryFile);
        EXPECT_EQ(ReadFile(work / kol::kHorseFileName), day.files.horseFile);
    }
}

#ifndef _WIN32
// Another archiver reads them too: Debian's lhasa checks every entry's CRC.
TEST(CliSampleSeason, LhasaFindsTheThreeFilesSound)
{
    const TempDir dir;
    ASSERT_EQ(MakeSeason(dir.path(), "8", "2").exitCode, 0);
    for (const char* name : {"20010106.lzh", "20010107.lzh"}) {
        const test::CommandResult tested =
            test::RunProgram("lhasa", {"t", Utf8Text(dir / name)}, Stderr::Merge);
        EXPECT_EQ(tested.exitCode, 0) << tested.out;
        const test::CommandResult listed =
            test::RunProgram("lhasa", {"v", Utf8Text(dir / name)}, Stderr::Merge);
        for (const char* file : {"kol_den1.kd2", "kol_den2.kd2", "kol_uma.kd2"}) {
            EXPECT_NE(listed.out.find(file), std::string::npos) << listed.out;
        }
        EXPECT_NE(listed.out.find("-lh0-"), std::string::npos) << listed.out;
    }
}
#endif

TEST(CliSampleSeason, UsageErrorsAndAFolderThatCannotBeMade)
{
    const TempDir dir;
    const std::string out = Utf8Text(dir / "out");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"sample-season", "--seed", "1", "--out", out},
          {"sample-season", "--days", "2", "--out", out},
          {"sample-season", "--seed", "1", "--days", "2"},
          {"sample-season", "--seed", "x", "--days", "2", "--out", out},
          {"sample-season", "--seed", "1", "--days", "0", "--out", out},
          {"sample-season", "--seed", "1", "--days", "2001", "--out", out},
          {"sample-season", "--seed", "1", "--days", "2", "--races", "3", "--out", out}}) {
        EXPECT_EQ(RunCli(args, Stderr::Discard).exitCode, 2) << args[2] << ' ' << args[3];
    }
    EXPECT_FALSE(fs::exists(dir / "out"));

    dir.Write("ファイル", "a file where the folder belongs");
    const test::CommandResult refused = MakeSeason(dir / "ファイル" / "季節", "1", "1");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.out.find("ファイル"), std::string::npos) << refused.out;
}

} // namespace
} // namespace furlox
