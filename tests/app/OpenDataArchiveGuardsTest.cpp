// The open-archive flow against hostile archives and a busy work directory: the data files
// in other capitals, program files, unreadable names, a folder where a data file belongs, and
// one extraction at a time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "base/Encoding.h"
#include "base/Error.h"
#include "base/Platform.h"
#include "kol/SampleDay.h"
#include "kol/WorkDir.h"
#include "support/LhaWriter.h"
#include "support/OpenOutcome.h"
#include "support/System.h"
#include "support/TempDir.h"

namespace furlox::app {
namespace {

namespace fs = std::filesystem;
using kol::LoadWorkDay;
using kol::LockWorkDir;
using test::MakeLhaFiles;
using test::Opened;
using test::OpenOutcome;
using test::ReadFile;
using test::TempDir;
using namespace std::chrono_literals;

kol::SampleFiles Sample(std::uint64_t seed)
{
    kol::SampleOptions options;
    options.seed = seed;
    options.races = 2;
    return kol::MakeSampleDay(options);
}

// A work directory holding the day of seed 1, loaded.
struct LoadedWork
{
    TempDir dir;
    fs::path work = dir / "work";
    kol::RaceDay day;
    kol::SampleFiles first = Sample(1);
    kol::SampleFiles second = Sample(2);

    LoadedWork()
    {
        fs::create_directory(work);
        EXPECT_EQ(Open("first.lzh", MakeLhaFiles({{"kol_den1.kd2", first.raceFile},
                                                  {"kol_den2.kd2", first.entryFile},
                                                  {"kol_uma.kd2", first.horseFile}}))
                      .status,
                  Opened::Day);
    }

    OpenOutcome Open(const std::string& name, const std::string& bytes,
                     std::chrono::milliseconds patience = kol::kWorkDirPatience)
    {
        dir.Write(name, bytes);
        OpenOutcome outcome = test::OpenArchive(dir / name, work, nullptr, patience);
        if (outcome.status == Opened::Day) {
            day = outcome.day;
        }
        return outcome;
    }
};

TEST(OpenDataArchiveGuards, DataFilesInCapitalsReplaceTheLowerCaseOnes)
{
    LoadedWork w;
    // The listing check stays case-sensitive: the horse file's own name lets the archive in,
    // and the capitals then replace the race and entry files instead of landing beside them.
    const OpenOutcome result =
        w.Open("second.lzh", MakeLhaFiles({{"KOL_DEN1.KD2", w.second.raceFile},
                                           {"Kol_Den2.kd2", w.second.entryFile},
                                           {"kol_uma.kd2", w.second.horseFile}}));
    ASSERT_EQ(result.status, Opened::Day) << ToUtf8(result.message);
    EXPECT_EQ(ReadFile(w.work / "kol_den1.kd2"), w.second.raceFile);
    EXPECT_EQ(ReadFile(w.work / "kol_den2.kd2"), w.second.entryFile);
    // Read from the listing: a file system that ignores case finds the capitals either way.
    EXPECT_EQ(test::NamesIn(w.work),
              (std::set<std::string>{"kol_den1.kd2", "kol_den2.kd2", "kol_uma.kd2"}));
    EXPECT_EQ(w.day.raceLines.front(), w.second.raceFile.substr(0, w.second.raceFile.find('\r')));

    // Capitals alone still hold no data.
    EXPECT_EQ(w.Open("capitals.lzh", MakeLhaFiles({{"KOL_DEN1.KD2", w.first.raceFile}})).status,
              Opened::NotADay);
}

TEST(OpenDataArchiveGuards, ProgramFilesInTheWorkDirectoryStay)
{
    LoadedWork w;
    w.dir.Write("work/Foot.dat", "<hr></body></html>");
    w.dir.Write("work/pt.exe", "the viewer");
    const OpenOutcome result =
        w.Open("second.lzh", MakeLhaFiles({{"kol_den1.kd2", w.second.raceFile},
                                           {"kol_den2.kd2", w.second.entryFile},
                                           {"kol_uma.kd2", w.second.horseFile},
                                           {"Foot.dat", "<script>"},
                                           {"PT.EXE", "not the viewer"}}));
    ASSERT_EQ(result.status, Opened::Day);
    const std::string message = ToUtf8(result.message);
    EXPECT_NE(message.find("Foot.dat: "), std::string::npos) << message;
    EXPECT_NE(message.find("PT.EXE: "), std::string::npos) << message;
    EXPECT_EQ(ReadFile(w.work / "Foot.dat"), "<hr></body></html>");
    EXPECT_EQ(ReadFile(w.work / "pt.exe"), "the viewer");
    EXPECT_EQ(ReadFile(w.work / "kol_uma.kd2"), w.second.horseFile);
}

TEST(OpenDataArchiveGuards, UnreadableNamesAreNotCalledDamage)
{
    LoadedWork w;
    const auto lines = w.day.raceLines;
    const OpenOutcome result =
        w.Open("names.lzh",
               MakeLhaFiles({{"kol_uma.kd2", w.second.horseFile}, {"\x81\x20\xFF.kd2", "x"}}));
    EXPECT_EQ(result.status, Opened::Failed);
    const std::string message = ToUtf8(result.message);
    EXPECT_NE(message.find("ファイル名を読み取れません"), std::string::npos) << message;
    EXPECT_EQ(message.find("壊れて"), std::string::npos) << message;
    EXPECT_EQ(ReadFile(w.work / "kol_uma.kd2"), w.first.horseFile);
    EXPECT_EQ(w.day.raceLines, lines);
}

TEST(OpenDataArchiveGuards, AFolderWhereADataFileBelongsIsNamed)
{
    TempDir dir;
    dir.Write("kol_den1.kd2", "r\r\n");
    fs::create_directory(dir / "kol_den2.kd2");
    dir.Write("kol_uma.kd2", "h\r\n");
    try {
        LoadWorkDay(dir.path());
        FAIL() << "the folder must be reported";
    } catch (const Error& e) {
        const std::string message = ToUtf8(e.what());
        EXPECT_NE(message.find("kol_den2.kd2 がファイルではなくフォルダ"), std::string::npos)
            << message;
    }
}

TEST(OpenDataArchiveGuards, OneExtractionAtATimePerWorkDirectory)
{
    LoadedWork w;
    const std::string second = MakeLhaFiles({{"kol_den1.kd2", w.second.raceFile},
                                             {"kol_den2.kd2", w.second.entryFile},
                                             {"kol_uma.kd2", w.second.horseFile}});
    {
        // Another open (here: its lock) is running in the same work directory.
        const std::unique_ptr<platform::FileLock> running = LockWorkDir(w.work);
        ASSERT_NE(running, nullptr);
        const OpenOutcome result = w.Open("second.lzh", second, 200ms);
        EXPECT_EQ(result.status, Opened::Failed);
        EXPECT_NE(ToUtf8(result.message).find("別の書庫の展開が実行中です"), std::string::npos)
            << ToUtf8(result.message);
        EXPECT_EQ(ReadFile(w.work / "kol_uma.kd2"), w.first.horseFile);

        // Loading waits the same way.
        EXPECT_THROW(LoadWorkDay(w.work, 200ms), Error);
    }
    // Once it is over, the next open goes through.
    EXPECT_EQ(w.Open("second.lzh", second, 200ms).status, Opened::Day);
    EXPECT_EQ(ReadFile(w.work / "kol_uma.kd2"), w.second.horseFile);
}

// The test program run again by the test below, with the folder in FURLOX_TEST_LOCK_FOLDER:
// takes the work directory's lock and ends at once, before any test, without letting go.
[[maybe_unused]] const bool dyingLockHolder = [] {
    if (const char* folder = std::getenv("FURLOX_TEST_LOCK_FOLDER")) {
        const std::unique_ptr<platform::FileLock> lock =
            LockWorkDir(Utf8Path(folder), std::chrono::milliseconds(200));
        std::_Exit(lock ? 7 : 1);
    }
    return false;
}();

TEST(OpenDataArchiveGuards, ALockOfADeadProcessIsGone)
{
    TempDir dir;
    const test::CommandResult died =
        test::RunProgram(platform::ProgramFile(), {}, test::Stderr::Discard,
                         {{"FURLOX_TEST_LOCK_FOLDER", Utf8Text(dir.path())}});
    ASSERT_EQ(died.exitCode, 7) << "the other process did not take the lock: " << died.out;
    EXPECT_NE(LockWorkDir(dir.path(), 200ms), nullptr);
}

} // namespace
} // namespace furlox::app
