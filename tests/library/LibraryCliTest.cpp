// The command line's library commands: their JSON shapes and exit codes.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/Encoding.h"
#include "library/SeasonDays.h"
#include "support/System.h"
#include "support/TempDir.h"

namespace furlox::test {
namespace {

namespace fs = std::filesystem;

TEST(LibraryCli, ShapesAndExitCodes)
{
    TempDir dir;
    const fs::path work = dir / "work";
    fs::create_directories(work);
    dir.Write("a.lzh",
              ArchiveOf(SeasonDay("20010106", {{"アルファ　", {RunOn("05", "12", "24", "02")}}})));
    dir.Write("bad.lzh", "no archive");
    const CommandResult imported =
        RunCliIn(work, {"library", "import", Utf8Text(dir / "a.lzh"), Utf8Text(dir / "bad.lzh")},
                 Stderr::Merge);
    EXPECT_EQ(imported.exitCode, 1) << "a refused archive makes the import exit 1";
    EXPECT_NE(imported.out.find("bad.lzh"), std::string::npos) << imported.out;

    const CommandResult days = RunCliIn(work, {"library", "days", "--json"});
    EXPECT_EQ(days.exitCode, 0);
    EXPECT_EQ(days.out, "{\"days\": [{\"date\": \"2001-01-06\", \"courses\": [\"中山\"], "
                        "\"races\": 1, \"runners\": 1, \"known\": 0}]}\n");
    // The list as text: the weekday and the courses as the library window shows them.
    EXPECT_EQ(RunCliIn(work, {"library", "days"}).out, "2001-01-06 (土) 中山  1R 1頭\n");

    const CommandResult horse = RunCliIn(work, {"library", "horse", "アルファ", "--json"});
    EXPECT_EQ(horse.exitCode, 0);
    EXPECT_EQ(horse.out, "{\"name\": \"アルファ\", \"runs\": [{\"date\": \"2000-12-24\", "
                         "\"course\": \"中山\", \"fx\": 97, \"finish\": 2, \"popularity\": 3, "
                         "\"source\": \"block\"}, {\"date\": \"2001-01-06\", \"course\": "
                         "\"中山\", \"fx\": null, \"finish\": null, \"popularity\": null, "
                         "\"source\": \"race\"}]}\n");

    EXPECT_EQ(RunCliIn(work, {"library", "horse", "いない馬"}, Stderr::Discard).exitCode, 1);
    EXPECT_EQ(RunCliIn(work, {"library", "open", "2001-02-30"}, Stderr::Discard).exitCode, 2);
    EXPECT_EQ(RunCliIn(work, {"library", "remove", "2001-01-07"}, Stderr::Discard).exitCode, 1);
    EXPECT_EQ(RunCliIn(work, {"library"}, Stderr::Discard).exitCode, 2);
    EXPECT_EQ(RunCliIn(work, {"library", "check"}).exitCode, 0);

    const CommandResult opened = RunCliIn(work, {"library", "open", "2001-01-06"});
    EXPECT_EQ(opened.exitCode, 0);
    EXPECT_TRUE(fs::exists(work / "kol_uma.kd2"));
    EXPECT_EQ(RunCliIn(work, {"library", "remove", "2001-01-06"}).exitCode, 0);
    EXPECT_EQ(RunCliIn(work, {"library", "days", "--json"}).out, "{\"days\": []}\n");
}

} // namespace
} // namespace furlox::test
