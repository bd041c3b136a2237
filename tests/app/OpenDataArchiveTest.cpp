#include <gtest/gtest.h>

#include <filesystem>

#include "app/OpenDataArchive.h"
#include "archive/ARCHIVES.h"
#include "archive/ArchiverProgress.h"
#include "base/Encoding.h"
#include "kol/SampleDay.h"
#include "support/LhaWriter.h"
#include "support/System.h"
#include "support/TempDir.h"

namespace furlox::app {
namespace {

namespace fs = std::filesystem;
using Status = OpenArchiveResult::Status;
using test::LhaEntry;
using test::MakeLha;
using test::MakeLhaFiles;
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
    kol::RaceDay day;

    Fixture() { fs::create_directories(work); }

    OpenArchiveResult Open(const std::string& name, const std::string& bytes,
                           archive::ArchiverProgress* progress = nullptr)
    {
        dir.Write(name, bytes);
        return OpenDataArchive(Utf8Text(dir / name), work, day, progress);
    }
};

TEST(OpenDataArchive, ExtractsAndLoadsAWholeRaceDay)
{
    Fixture f;
    const kol::SampleFiles sample = Sample(7, 12);
    archive::ArchiverProgress progress;
    const OpenArchiveResult result = f.Open("day.lzh", SampleArchive(sample), &progress);
    ASSERT_EQ(result.status, Status::Extracted) << ToUtf8(result.message);
    EXPECT_EQ(result.extractResult, 0);
    EXPECT_TRUE(result.message.empty());
    EXPECT_TRUE(result.load.loaded);
    EXPECT_EQ(f.day.RaceCount(), 12);
    EXPECT_EQ(ReadFile(f.work / "kol_uma.kd2"), sample.horseFile);
    EXPECT_EQ(progress.View().lblCount, "[3/3]");
    EXPECT_TRUE(progress.View().cmdCancelEnabled); // hidden again afterwards

    // A second archive replaces the day as a whole.
    const OpenArchiveResult second = f.Open("day2.lzh", SampleArchive(Sample(8, 5)));
    ASSERT_EQ(second.status, Status::Extracted);
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
        const OpenArchiveResult result = f.Open(name, bytes);
        EXPECT_EQ(result.status, Status::NoData);
        EXPECT_EQ(result.message, NoDataMessage());
        EXPECT_TRUE(test::NamesIn(f.work).empty()); // nothing extracted
    }
    const std::string& text = NoDataMessage();
    EXPECT_EQ(text.find("\r\n\r\n"), text.find("\r\n")); // a blank line after the first sentence
    EXPECT_EQ(ToUtf8(text).substr(0, 3), "指");
}

TEST(OpenDataArchive, AnArchiveWithOnlyTheHorseFileUsesTheFilesAlreadyThere)
{
    Fixture f;
    const kol::SampleFiles sample = Sample(3, 6);
    const OpenArchiveResult alone =
        f.Open("uma.lzh", MakeLhaFiles({{"kol_uma.kd2", sample.horseFile}}));
    EXPECT_EQ(alone.status, Status::Extracted);
    EXPECT_FALSE(alone.load.loaded); // no race file in the work directory
    EXPECT_EQ(f.day.RaceCount(), 0);
    EXPECT_EQ(ReadFile(f.work / "kol_uma.kd2"), sample.horseFile);

    ASSERT_EQ(f.Open("day.lzh", SampleArchive(sample)).status, Status::Extracted);
    const kol::SampleFiles other = Sample(4, 6);
    const OpenArchiveResult replaced =
        f.Open("uma2.lzh", MakeLhaFiles({{"kol_uma.kd2", other.horseFile}}));
    EXPECT_EQ(replaced.status, Status::Extracted);
    EXPECT_TRUE(replaced.load.loaded);
    EXPECT_EQ(f.day.RaceCount(), 6);
    EXPECT_EQ(f.day.horseLines.front(), other.horseFile.substr(0, other.horseFile.find('\r')));
}

TEST(OpenDataArchive, DamagedArchivesKeepTheLoadedDay)
{
    Fixture f;
    const kol::SampleFiles sample = Sample(5, 4);
    ASSERT_EQ(f.Open("day.lzh", SampleArchive(sample)).status, Status::Extracted);
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
        const OpenArchiveResult result = f.Open(name, bytes);
        EXPECT_EQ(result.status, Status::Failed);
        EXPECT_NE(result.message.find(name), std::string::npos) << ToUtf8(result.message);
        EXPECT_EQ(f.day.raceLines, raceLines);
        EXPECT_EQ(ReadFile(f.work / "kol_uma.kd2"), sample.horseFile);
        EXPECT_EQ(test::NamesIn(f.work).size(), 3u);
    }
    const OpenArchiveResult missing =
        OpenDataArchive(Utf8Text(f.dir / "missing.lzh"), f.work, f.day, nullptr);
    EXPECT_EQ(missing.status, Status::Failed);
    EXPECT_EQ(f.day.raceLines, raceLines);
}

TEST(OpenDataArchive, AStopKeepsThePreviousFiles)
{
    Fixture f;
    const kol::SampleFiles sample = Sample(5, 4);
    ASSERT_EQ(f.Open("day.lzh", SampleArchive(sample)).status, Status::Extracted);
    archive::ArchiverProgress progress;
    int reports = 0;
    progress.ProcessMessages = [&] {
        if (++reports == 6) {
            progress.cmdCancelClick(); // part-way through the extraction
        }
    };
    const OpenArchiveResult result = f.Open("next.lzh", SampleArchive(Sample(9, 10)), &progress);
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_EQ(result.extractResult, archive::lha::kErrorCancelled);
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
    const OpenArchiveResult result = f.Open("mixed.lzh", MakeLha({evil, den1, den2, uma}));
    EXPECT_EQ(result.status, Status::Extracted);
    EXPECT_TRUE(result.load.loaded);
    EXPECT_EQ(f.day.RaceCount(), 3);
    EXPECT_NE(result.message.find("../evil.txt"), std::string::npos) << ToUtf8(result.message);
    EXPECT_FALSE(fs::exists(f.dir / "evil.txt"));
}

TEST(OpenDataArchive, AnotherFormatNeedsItsLibrary)
{
    Fixture f;
    EXPECT_THROW(OpenDataArchive(Utf8Text(f.dir / "day.zip"), f.work, f.day, nullptr),
                 archive::EArchiver);
    // Any other name is read as an LHA archive.
    const OpenArchiveResult result = f.Open("day.dat", SampleArchive(Sample(1, 2)));
    EXPECT_EQ(result.status, Status::Extracted);
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
        const std::u8string generic = file.generic_u8string();
        const OpenArchiveResult result =
            OpenDataArchive(std::string(generic.begin(), generic.end()), f.work, f.day, nullptr);
        ASSERT_EQ(result.status, Status::Failed) << name;
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
    const OpenArchiveResult result = OpenDataArchive(Utf8Text(sample), f.work, f.day, nullptr);
    ASSERT_EQ(result.status, Status::Extracted) << ToUtf8(result.message);
    EXPECT_TRUE(result.load.loaded);
    EXPECT_EQ(f.day.RaceCount(), 36);
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
