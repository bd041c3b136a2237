// Every way the CLI meets a work folder without a whole race day says so in the one wording.
#include <gtest/gtest.h>

#include "base/Encoding.h"
#include "kol/WorkDir.h"
#include "support/System.h"
#include "support/TempDir.h"

using namespace furlox;
using furlox::test::RunCliIn;
using furlox::test::Stderr;
using furlox::test::TempDir;

TEST(CliNoRaceData, OneMessageForEveryCommand)
{
    TempDir dir;
    const std::filesystem::path work = dir.path() / "work";
    std::filesystem::create_directory(work);
    const std::string message = ToUtf8(kol::NoRaceDataMessage(work));

    for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
             {"races"},
             {"show", "0"},
             {"detail", "--race", "0", "--horse", "1"},
             {"text", "--all", "-o", Utf8Text(dir.path() / "all.txt")},
             {"csv", "-o", Utf8Text(dir.path() / "day.csv")},
         }) {
        const test::CommandResult result = RunCliIn(work, command, Stderr::Merge);
        EXPECT_EQ(result.exitCode, 1) << command[0];
        EXPECT_NE(result.out.find(message), std::string::npos) << command[0] << ": " << result.out;
    }
}
