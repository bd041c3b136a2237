#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"

using furlox::test::RunCommand;
using furlox::test::TempDir;

namespace {
std::string Cli(const TempDir& dir, const std::string& args)
{
    return std::string(FURLOX_CLI) + " --workdir " + dir.path().string() + " " + args;
}
} // namespace

TEST(CliRaces, ListsTheRacesOfASampleDayInUtf8)
{
    TempDir dir;
    ASSERT_EQ(
        RunCommand(Cli(dir, "sample --seed 3 --races 14 --out " + dir.path().string())).exitCode,
        0);
    auto result = RunCommand(Cli(dir, "races"));
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.rfind("0\t東京01R ", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("\n13\t京都02R "), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("\n14\t"), std::string::npos);
}

TEST(CliRaces, NoRaceDayIsAnErrorWithAMessage)
{
    TempDir dir;
    auto result = RunCommand(Cli(dir, "races 2>&1"));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("レースデータ"), std::string::npos) << result.out;
}

TEST(CliRaces, NonAsciiWorkFolderIsNamedIntactInTheMessage)
{
    TempDir dir;
    const std::string folder = (dir.path() / "競馬データ").string();
    std::filesystem::create_directory(folder);
    auto result = RunCommand(std::string(FURLOX_CLI) + " --workdir " + folder + " races 2>&1");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("競馬データ"), std::string::npos) << result.out;
}

TEST(CliRaces, UsageErrors)
{
    TempDir dir;
    EXPECT_EQ(RunCommand(Cli(dir, "nosuchcommand 2>/dev/null")).exitCode, 2);
    EXPECT_EQ(RunCommand(Cli(dir, "sample --out x 2>/dev/null")).exitCode, 2);
    EXPECT_EQ(RunCommand(Cli(dir, "sample --seed 1 --races 37 --out x 2>/dev/null")).exitCode, 2);
}
