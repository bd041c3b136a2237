#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/OpenDataArchive.h"
#include "archive/ARCHIVES.h"
#include "archive/ArchiverProgress.h"
#include "base/Encoding.h"
#include "kol/SampleDay.h"
#include "support/LhaWriter.h"
#include "support/OpenOutcome.h"
#include "support/System.h"
#include "support/TempDir.h"

namespace furlox::app {
namespace {

namespace fs = std::filesystem;
using test::LhaEntry;
using test::MakeLha;
using test::MakeLhaFiles;
using test::Opened;
using test::OpenOutcome;
using test::ReadFile;
using test::RunCliIn;
using test::Stderr;
using test::TempDir;

kol::SampleFiles Sample(std::uint64_t seed, int races)
{
    kol::SampleOptions options;
    options.seed = seed;
    options.races = races;
    return kol::MakeSampleDay(options);
}

std::string SampleArchive(const kol::SampleFiles& day)
{
    return MakeLhaFiles({{"kol_den1.kd2", day.raceFile},
                         {"kol_den2.kd2", day.entryFile},
                         {"kol_uma.kd2", day.horseFile}});
}

struct Fixture
{
    TempDir dir;
    fs::path work = dir / "work";
    kol::RaceDay day; // the day the window would show: the last one that came in

    Fixture() { fs::create_directories(work); }

    OpenOutcome Open(const std::string& name, const std::string& bytes,
                     archive::ArchiverProgress* progress = nullptr)
    {
        dir.Write(name, bytes);
        OpenOutcome outcome = test::OpenArchive(dir / name, work, progress);
        if (outcome.status == Opened::Day) {
            day = outcome.day;
        }
        return outcome;
    }
};

TEST(OpenDataArchive, ExtractsAndLoadsAWholeRaceDay)
{
    Fixture f;
    const kol::SampleFiles sample = Sample(7, 12);
    archive::ArchiverProgress progress;
    const OpenOutcome result = f.Open("day.lzh", SampleArchive(sample), &progress);
    ASSERT_EQ(result.status, Opened::Day) << ToUtf8(result.message);
    EXPECT_TRUE(result.message.empty());
    EXPECT_TRUE(result.warnings.empty());
    EXPECT_EQ(f.day.RaceCount(), 12);
    EXPECT_EQ(ReadFile(f.work / "kol_uma.kd2"), sample.horseFile);
    EXPECT_EQ(progress.View().lblCount, "[3/3]");
    EXPECT_TRUE(progress.View().cmdCancelEnabled); // hidden again afterwards
    // Nothing of the extraction is left beside the day.
    EXPECT_EQ(test::NamesIn(f.work),
              (std::set<std::string>{"kol_den1.kd2", "kol_den2.kd2", "kol_uma.kd2"}));

    // A second archive replaces the day as a whole.
    const OpenOutcome second = f.Open("day2.lzh", SampleArchive(Sample(8, 5)));
    ASSERT_EQ(second.status, Opened::Day);
    EXPECT_EQ(f.day.RaceCount(), 5);
}

TEST(OpenDataArchive, OnlyTopLevelNamesInTheirOwnCaseCount)
{
    Fixture f;
    LhaEntry underFolder;
    underFolder.dirName = "data";
    underFolder.name = "kol_den1.kd2";
    underFolder.data = "x";
    LhaEntry uma = underFolder;
    uma.name = "kol_uma.kd2";
    const std::pair<const char*, std::string> noData[] = {
        {"folder.lzh", MakeLha({underFolder, uma})},
        {"backslash.lzh", MakeLhaFiles({{"data\\kol_den1.kd2", "x"}})},
        {"capitals.lzh", MakeLhaFiles({{"KOL_DEN1.KD2", "x"}, {"KOL_UMA.KD2", "x"}})},
        {"other.lzh", MakeLhaFiles({{"kol_den2.kd2", "x"}, {"readme.txt", "x"}})},
    };
    for (const auto& [name, bytes] : noData) {
        SCOPED_TRACE(name);
        const OpenOutcome result = f.Open(name, bytes);
        EXPECT_EQ(result.status, Opened::NotADay);
        EXPECT_EQ(result.message, NoDataMessage());
        EXPECT_TRUE(test::NamesIn(f.work).empty()); // nothing extracted
    }
    const std::string& text = NoDataMessage();
    EXPECT_EQ(text.find("\r\n\r\n"), text.find("\r\n")); // a blank line after the first sentence
    EXPECT_EQ(ToUtf8(text).substr(0, 3), "指");
}

// Part of a day is no day: an archive that lacks a data file, or whose data entry is refused,
// changes nothing and names the file (the earlier behaviour put the files it had in place
// beside the earlier day's others).
TEST(OpenDataArchive, AnArchiveWithoutAllThreeDataFilesIsRefusedWhole)
{
    Fixture f;
    const kol::SampleFiles sample = Sample(3, 6);
    ASSERT_EQ(f.Open("day.lzh", SampleArchive(sample)).status, Opened::Day);
    const kol::SampleFiles other = Sample(4, 6);
    LhaEntry folder;
    folder.dirName = "kol_den2.kd2";
    folder.directory = true;
    LhaEntry inFolder;
    inFolder.dirName = "sub";
    inFolder.name = "kol_den2.kd2";
    inFolder.data = other.entryFile;
    LhaEntry race;
    race.name = "kol_den1.kd2";
    race.data = other.raceFile;
    LhaEntry horse = race;
    horse.name = "kol_uma.kd2";
    horse.data = other.horseFile;
    LhaEntry oversized = race;
    oversized.name = "kol_den2.kd2";
    oversized.data = "claims more than an entry may hold";
    oversized.originalSize = 300u * 1024 * 1024;
    const std::pair<const char*, std::string> partial[] = {
        {"uma.lzh", MakeLhaFiles({{"kol_uma.kd2", other.horseFile}})},
        {"no-entries.lzh",
         MakeLhaFiles({{"kol_den1.kd2", other.raceFile}, {"kol_uma.kd2", other.horseFile}})},
        {"dot.lzh", MakeLhaFiles({{"kol_den1.kd2", other.raceFile},
                                  {"kol_den2.kd2.", other.entryFile},
                                  {"kol_uma.kd2", other.horseFile}})},
        {"blank.lzh", MakeLhaFiles({{"kol_den1.kd2", other.raceFile},
                                    {"kol_den2.kd2 ", other.entryFile},
                                    {"kol_uma.kd2", other.horseFile}})},
        {"zero-width.lzh", MakeLhaFiles({{"kol_den1.kd2", other.raceFile},
                                         {"kol_den2\xE2\x80\x8B.kd2", other.entryFile},
                                         {"kol_uma.kd2", other.horseFile}})},
        {"folder.lzh", MakeLha({race, folder, horse})},
        {"subfolder.lzh", MakeLha({race, inFolder, horse})},
        {"oversized.lzh", MakeLha({race, oversized, horse})},
    };
    for (const auto& [name, bytes] : partial) {
        SCOPED_TRACE(name);
        const OpenOutcome result = f.Open(name, bytes);
        EXPECT_EQ(result.status, Opened::NotADay);
        const std::string message = ToUtf8(result.message);
        EXPECT_NE(message.find(std::string(name) == "uma.lzh" ? "kol_den1.kd2" : "kol_den2.kd2"),
                  std::string::npos)
            << message;
        EXPECT_EQ(ReadFile(f.work / "kol_den1.kd2"), sample.raceFile);
        EXPECT_EQ(ReadFile(f.work / "kol_den2.kd2"), sample.entryFile);
        EXPECT_EQ(ReadFile(f.work / "kol_uma.kd2"), sample.horseFile);
        EXPECT_EQ(test::NamesIn(f.work),
                  (std::set<std::string>{"kol_den1.kd2", "kol_den2.kd2", "kol_uma.kd2"}));
    }
    EXPECT_EQ(f.day.RaceCount(), 6);
    EXPECT_EQ(f.day.horseLines.front(), sample.horseFile.substr(0, sample.horseFile.find('\r')));
}

// Three empty data files, or a race file without a race, are no day either.
TEST(OpenDataArchive, EmptyDataFilesNeverWipeTheDay)
{
    Fixture f;
    const kol::SampleFiles sample = Sample(5, 4);
    ASSERT_EQ(f.Open("day.lzh", SampleArchive(sample)).status, Opened::Day);
    const kol::SampleFiles other = Sample(6, 4);
    const std::pair<const char*, std::string> empty[] = {
        {"all-empty.lzh",
         MakeLhaFiles({{"kol_den1.kd2", ""}, {"kol_den2.kd2", ""}, {"kol_uma.kd2", ""}})},
        {"empty-horses.lzh", MakeLhaFiles({{"kol_den1.kd2", other.raceFile},
                                           {"kol_den2.kd2", other.entryFile},
                                           {"kol_uma.kd2", ""}})},
        {"no-race.lzh", MakeLhaFiles({{"kol_den1.kd2", "\r\n\r\n\x1A"},
                                      {"kol_den2.kd2", other.entryFile},
                                      {"kol_uma.kd2", other.horseFile}})},
    };
    for (const auto& [name, bytes] : empty) {
        SCOPED_TRACE(name);
        const OpenOutcome result = f.Open(name, bytes);
        EXPECT_EQ(result.status, Opened::NotADay) << ToUtf8(result.message);
        EXPECT_NE(ToUtf8(result.message)
                      .find(name == std::string("no-race.lzh") ? "レースが 1 つもありません"
                                                               : "は空です"),
                  std::string::npos)
            << ToUtf8(result.message);
        EXPECT_EQ(ReadFile(f.work / "kol_den1.kd2"), sample.raceFile);
        EXPECT_EQ(ReadFile(f.work / "kol_uma.kd2"), sample.horseFile);
    }
    EXPECT_EQ(f.day.RaceCount(), 4);
}

TEST(OpenDataArchive, DamagedArchivesKeepTheLoadedDay)
{
    Fixture f;
    const kol::SampleFiles sample = Sample(5, 4);
    ASSERT_EQ(f.Open("day.lzh", SampleArchive(sample)).status, Opened::Day);
    const std::vector<std::string> raceLines = f.day.raceLines;

    const std::string fresh = SampleArchive(Sample(6, 9));
    std::string flipped = fresh;
    flipped[fresh.size() - 100] ^= 0x10; // in the horse file's data
    const std::pair<const char*, std::string> damaged[] = {
        {"flipped.lzh", flipped},
        {"truncated.lzh", fresh.substr(0, fresh.size() / 2)},
        {"empty.lzh", ""},
        {"text.lzh", "not an archive"},
    };
    for (const auto& [name, bytes] : damaged) {
        SCOPED_TRACE(name);
        const OpenOutcome result = f.Open(name, bytes);
        EXPECT_EQ(result.status, Opened::Failed);
        EXPECT_NE(result.message.find(name), std::string::npos) << ToUtf8(result.message);
        EXPECT_EQ(f.day.raceLines, raceLines);
        EXPECT_EQ(ReadFile(f.work / "kol_uma.kd2"), sample.horseFile);
        EXPECT_EQ(test::NamesIn(f.work).size(), 3u);
    }
    const OpenOutcome missing = test::OpenArchive(f.dir / "missing.lzh", f.work);
    EXPECT_EQ(missing.status, Opened::Failed);
    EXPECT_NE(ToUtf8(missing.message).find("見つかりません"), std::string::npos);
}

// A folder or a device given as the archive is called what it is, not "not found".
TEST(OpenDataArchive, WhatIsNoArchiveFileIsNamedForWhatItIs)
{
    Fixture f;
    fs::create_directory(f.dir / "folder.lzh");
    const OpenOutcome folder = test::OpenArchive(f.dir / "folder.lzh", f.work);
    EXPECT_EQ(folder.status, Opened::Failed);
    EXPECT_NE(ToUtf8(folder.message).find("はフォルダです"), std::string::npos)
        << ToUtf8(folder.message);
#ifndef _WIN32
    const OpenOutcome device = test::OpenArchive("/dev/null", f.work);
    EXPECT_EQ(device.status, Opened::Failed);
    EXPECT_NE(ToUtf8(device.message).find("通常のファイルではありません"), std::string::npos)
        << ToUtf8(device.message);
#endif
    EXPECT_TRUE(test::NamesIn(f.work).empty());
}

TEST(OpenDataArchive, AStopKeepsThePreviousFiles)
{
    Fixture f;
    const kol::SampleFiles sample = Sample(5, 4);
    ASSERT_EQ(f.Open("day.lzh", SampleArchive(sample)).status, Opened::Day);
    archive::ArchiverProgress progress;
    int reports = 0;
    progress.ProcessMessages = [&] {
        if (++reports == 6) {
            progress.cmdCancelClick(); // part-way through the extraction
        }
    };
    const OpenOutcome result = f.Open("next.lzh", SampleArchive(Sample(9, 10)), &progress);
    EXPECT_EQ(result.status, Opened::Failed);
    EXPECT_NE(result.message.find(archive::lha::ResultText(archive::lha::kErrorCancelled)),
              std::string::npos)
        << ToUtf8(result.message);
    EXPECT_EQ(f.day.RaceCount(), 4);
    EXPECT_EQ(ReadFile(f.work / "kol_den1.kd2"), sample.raceFile);
    EXPECT_EQ(test::NamesIn(f.work).size(), 3u);
}

TEST(OpenDataArchive, RefusedEntriesAreReportedAndTheDayStillLoads)
{
    Fixture f;
    const kol::SampleFiles sample = Sample(2, 3);
    LhaEntry evil;
    evil.name = "../evil.txt";
    evil.data = "outside";
    evil.level = 1;
    LhaEntry den1 = evil;
    den1.name = "kol_den1.kd2";
    den1.data = sample.raceFile;
    LhaEntry den2 = den1;
    den2.name = "kol_den2.kd2";
    den2.data = sample.entryFile;
    LhaEntry uma = den1;
    uma.name = "kol_uma.kd2";
    uma.data = sample.horseFile;
    const OpenOutcome result = f.Open("mixed.lzh", MakeLha({evil, den1, den2, uma}));
    EXPECT_EQ(result.status, Opened::Day);
    EXPECT_EQ(f.day.RaceCount(), 3);
    EXPECT_NE(result.message.find("../evil.txt"), std::string::npos) << ToUtf8(result.message);
    EXPECT_FALSE(fs::exists(f.dir / "evil.txt"));
}

TEST(OpenDataArchive, AnotherFormatNeedsItsLibrary)
{
    Fixture f;
    // Said only of an archive that is there: a missing one is first of all missing.
    const OpenOutcome missing = test::OpenArchive(f.dir / "day.zip", f.work);
    EXPECT_NE(ToUtf8(missing.message).find("見つかりません"), std::string::npos)
        << ToUtf8(missing.message);
    f.dir.Write("day.zip", "PK\x03\x04");
    EXPECT_THROW(OpenDataArchive(f.dir / "day.zip", f.work, nullptr), archive::EArchiver);
    // Any other name is read as an LHA archive.
    const OpenOutcome result = f.Open("day.dat", SampleArchive(Sample(1, 2)));
    EXPECT_EQ(result.status, Opened::Day);
    EXPECT_EQ(f.day.RaceCount(), 2);
}

TEST(OpenCommand, ListsTheRacesOrSaysWhyNot)
{
    Fixture f;
    f.dir.Write("day.lzh", SampleArchive(Sample(11, 8)));
    f.dir.Write("nodata.lzh", MakeLhaFiles({{"readme.txt", "x"}}));
    f.dir.Write("bad.lzh", "not an archive");

    const test::CommandResult opened =
        RunCliIn(f.work, {"open", Utf8Text(f.dir / "day.lzh")}, Stderr::Discard);
    EXPECT_EQ(opened.exitCode, 0);
    const test::CommandResult races = RunCliIn(f.work, {"races"});
    EXPECT_EQ(opened.out, races.out);
    EXPECT_NE(opened.out.find("7\t"), std::string::npos);

    const test::CommandResult progress =
        RunCliIn(f.work, {"open", Utf8Text(f.dir / "day.lzh")}, Stderr::Capture);
    // Progress is for a terminal: a script that keeps stderr gets no progress lines there.
    EXPECT_EQ(progress.exitCode, 0);
    EXPECT_EQ(progress.out.find("kol_uma.kd2"), std::string::npos) << progress.out;

    const test::CommandResult noData =
        RunCliIn(f.work, {"open", Utf8Text(f.dir / "nodata.lzh")}, Stderr::Merge);
    EXPECT_EQ(noData.exitCode, 2) << noData.out;
    EXPECT_EQ(noData.out.find('\r'), std::string::npos);
    EXPECT_NE(noData.out.find(ToUtf8(NoDataMessage()).substr(0, 20)), std::string::npos);

    EXPECT_EQ(RunCliIn(f.work, {"open", Utf8Text(f.dir / "bad.lzh")}, Stderr::Merge).exitCode, 1);
    EXPECT_EQ(RunCliIn(f.work, {"open"}, Stderr::Merge).exitCode, 2);

    // Part of a day is refused like no day, naming what is missing; the day stays.
    f.dir.Write("uma.lzh", MakeLhaFiles({{"kol_uma.kd2", "h\r\n"}}));
    const test::CommandResult partial =
        RunCliIn(f.work, {"open", Utf8Text(f.dir / "uma.lzh")}, Stderr::Merge);
    EXPECT_EQ(partial.exitCode, 2) << partial.out;
    EXPECT_NE(partial.out.find("kol_den1.kd2 がないか"), std::string::npos) << partial.out;
    EXPECT_EQ(partial.out.find('\r'), std::string::npos);
    EXPECT_EQ(RunCliIn(f.work, {"races"}).out, races.out);

    // A missing archive is missing, whatever format its name would call for.
    const test::CommandResult zip =
        RunCliIn(f.work, {"open", Utf8Text(f.dir / "day.zip")}, Stderr::Merge);
    EXPECT_EQ(zip.exitCode, 1);
    EXPECT_NE(zip.out.find("が見つかりません"), std::string::npos) << zip.out;
    EXPECT_EQ(zip.out.find("UNZIP32"), std::string::npos) << zip.out;
}

TEST(OpenCommand, ProgressOnATerminalIsOneLineRewrittenInPlace)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs a pseudo-terminal (script(1)) to give the program a terminal as "
                    "stderr; Windows has no such tool";
#else
    Fixture f;
    f.dir.Write("day.lzh", SampleArchive(Sample(11, 8)));
    // script(1) runs the command line through the shell on a terminal of its own; the paths
    // are put in single quotes for it.
    const auto quoted = [](const std::string& text) {
        std::string result = "'";
        for (const char c : text) {
            result += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        return result + "'";
    };
    const std::string command = quoted(FURLOX_CLI) + " --workdir " + quoted(Utf8Text(f.work)) +
                                " open " + quoted(Utf8Text(f.dir / "day.lzh")) + " >/dev/null";
    const test::CommandResult terminal = test::RunProgram("script", {"-qec", command, "/dev/null"});
    EXPECT_EQ(terminal.exitCode, 0);
    EXPECT_NE(terminal.out.find("\r[3/3] kol_uma.kd2"), std::string::npos) << terminal.out;
    EXPECT_EQ(terminal.out.find('\n'), std::string::npos) << terminal.out;
    ASSERT_FALSE(terminal.out.empty());
    EXPECT_EQ(terminal.out.back(), '\r');
#endif
}

// A path handed over with forward slashes (as Qt and a typed command line on Windows give
// them) is named in the system's own form: on Windows with backslashes.
TEST(OpenDataArchive, PathsInMessagesAreInTheSystemsForm)
{
    Fixture f;
    f.dir.Write("sub/broken.lzh", std::string(300, 'x'));
    f.dir.Write("sub/empty.lzh", "");
    for (const char* name : {"sub/broken.lzh", "sub/empty.lzh", "sub/missing.lzh"}) {
        const fs::path file = f.dir / name;
        const OpenOutcome result =
            test::OpenArchive(fs::path(file.generic_u8string()), f.work, nullptr);
        ASSERT_EQ(result.status, Opened::Failed) << name;
        fs::path preferred = file;
        preferred.make_preferred();
        const std::string message = ToUtf8(result.message);
        EXPECT_NE(message.find(Utf8Text(preferred)), std::string::npos) << message;
#ifdef _WIN32
        EXPECT_EQ(message.find('/'), std::string::npos) << message;
#endif
    }
}

TEST(OpenCommand, TheBundledSampleDayOpens)
{
    const fs::path sample = fs::path(FURLOX_SOURCE_DIR) / "samples" / "sample-day.lzh";
    if (!fs::exists(sample)) {
        GTEST_SKIP() << "no bundled sample day yet";
    }
    Fixture f;
    const OpenOutcome result = test::OpenArchive(sample, f.work);
    ASSERT_EQ(result.status, Opened::Day) << ToUtf8(result.message);
    EXPECT_EQ(result.day.RaceCount(), 36);
    // It is the generator's day for seed 1, packed by another archiver.
    const kol::SampleFiles expected = Sample(1, 36);
    EXPECT_EQ(ReadFile(f.work / "kol_den1.kd2"), expected.raceFile);
    EXPECT_EQ(ReadFile(f.work / "kol_den2.kd2"), expected.entryFile);
    EXPECT_EQ(ReadFile(f.work / "kol_uma.kd2"), expected.horseFile);
    const test::CommandResult cli =
        RunCliIn(f.dir / "cli", {"open", Utf8Text(sample)}, Stderr::Discard);
    EXPECT_EQ(cli.exitCode, 0);
    EXPECT_NE(cli.out.find("0\t"), std::string::npos);
}

} // namespace
} // namespace furlox::app
