#include <gtest/gtest.h>

#include <filesystem>

#include "base/Encoding.h"
#include "support/System.h"
#include "support/TempDir.h"

using furlox::test::RunCliIn;
using furlox::test::Stderr;
using furlox::test::TempDir;

TEST(CliRaces, ListsTheRacesOfASampleDayInUtf8)
{
    TempDir dir;
    ASSERT_EQ(RunCliIn(dir.path(), {"sample", "--seed", "3", "--races", "14", "--out",
                                    furlox::Utf8Text(dir.path())})
                  .exitCode,
              0);
    auto result = RunCliIn(dir.path(), {"races"});
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.rfind("0\t東京01R ", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("\n13\t京都02R "), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("\n14\t"), std::string::npos);
}

TEST(CliRaces, NoRaceDayIsAnErrorWithAMessage)
{
    TempDir dir;
    auto result = RunCliIn(dir.path(), {"races"}, Stderr::Merge);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("レースデータ"), std::string::npos) << result.out;
}

TEST(CliRaces, NonAsciiWorkFolderIsNamedIntactInTheMessage)
{
    TempDir dir;
    const std::filesystem::path folder = dir.path() / furlox::Utf8Path("競馬データ");
    std::filesystem::create_directory(folder);
    auto result = RunCliIn(folder, {"races"}, Stderr::Merge);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("競馬データ"), std::string::npos) << result.out;
}

TEST(CliRaces, FolderArgumentsWithBlanksAndATrailingSeparatorArriveWhole)
{
    TempDir dir;
    // A blank, Japanese, and a separator at the end (on a Windows command line the backslash
    // right before the closing quote must not swallow it).
    std::filesystem::create_directory(dir / "競馬 データ");
    const std::string folder = furlox::Utf8Text(dir / "競馬 データ" / "");
    ASSERT_EQ(furlox::test::RunCli(
                  {"--workdir", folder, "sample", "--seed", "3", "--races", "2", "--out", folder})
                  .exitCode,
              0);
    const auto result = furlox::test::RunCli({"--workdir", folder, "races"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.rfind("0\t東京01R ", 0), 0u) << result.out;
}

TEST(CliRaces, UsageErrors)
{
    TempDir dir;
    EXPECT_EQ(RunCliIn(dir.path(), {"nosuchcommand"}, Stderr::Discard).exitCode, 2);
    EXPECT_EQ(RunCliIn(dir.path(), {"sample", "--out", "x"}, Stderr::Discard).exitCode, 2);
    EXPECT_EQ(RunCliIn(dir.path(), {"sample", "--seed", "1", "--races", "37", "--out", "x"},
                       Stderr::Discard)
                  .exitCode,
              2);
}
