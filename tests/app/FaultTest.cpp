// Faults from outside: a vanished or unusable work folder, a full disk, a huge entry. Each
// gives a clear message, loses no earlier file and leaves the loaded race day usable.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "analysis/RaceAnalysis.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/SampleDay.h"
#include "output/TextExport.h"
#include "support/LhaWriter.h"
#include "support/OpenOutcome.h"
#include "support/TempDir.h"

using namespace furlox;
using furlox::test::Opened;
using furlox::test::OpenOutcome;
namespace fs = std::filesystem;

namespace {

kol::SampleFiles SmallDay(std::uint64_t seed)
{
    kol::SampleOptions options;
    options.seed = seed;
    options.races = 3;
    return kol::MakeSampleDay(options);
}

std::string Archive(const kol::SampleFiles& day)
{
    return test::MakeLhaFiles({{"kol_den1.kd2", day.raceFile},
                               {"kol_den2.kd2", day.entryFile},
                               {"kol_uma.kd2", day.horseFile}});
}

struct LoadedDay
{
    test::TempDir dir;
    fs::path work = dir / "work";
    kol::RaceDay day;
    kol::SampleFiles files = SmallDay(1);

    LoadedDay()
    {
        fs::create_directory(work);
        dir.Write("first.lzh", Archive(files));
        OpenOutcome first = test::OpenArchive(dir / "first.lzh", work);
        EXPECT_EQ(first.status, Opened::Day);
        day = std::move(first.day);
    }
};

} // namespace

TEST(Faults, VanishedWorkFolderIsMadeAgain)
{
    LoadedDay f;
    const kol::SampleFiles second = SmallDay(2);
    f.dir.Write("second.lzh", Archive(second));
    fs::remove_all(f.work);
    const OpenOutcome result = test::OpenArchive(f.dir / "second.lzh", f.work);
    EXPECT_EQ(result.status, Opened::Day);
    EXPECT_EQ(test::ReadFile(f.work / "kol_uma.kd2"), second.horseFile);
    EXPECT_EQ(result.day.horseLines.front(),
              second.horseFile.substr(0, second.horseFile.find('\r')));
    EXPECT_NO_THROW(AnalyseRace(result.day, 2));
}

TEST(Faults, WorkFolderThatIsAFileIsRefusedCleanly)
{
    LoadedDay f;
    const auto lines = f.day.raceLines;
    f.dir.Write("second.lzh", Archive(SmallDay(2)));
    f.dir.Write("plain-file", "not a folder");
    const OpenOutcome result = test::OpenArchive(f.dir / "second.lzh", f.dir / "plain-file");
    EXPECT_EQ(result.status, Opened::Failed);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(f.dir.Read("plain-file"), "not a folder");
    EXPECT_EQ(f.day.raceLines, lines);
}

TEST(Faults, GigabyteEntryIsRefusedAndTheEarlierFileStays)
{
    LoadedDay f;
    test::LhaEntry huge;
    huge.name = "kol_uma.kd2";
    huge.data = "a few bytes that claim to be a whole gigabyte";
    huge.originalSize = 1024u * 1024 * 1024;
    f.dir.Write("huge.lzh", test::MakeLha({huge}));
    const OpenOutcome result = test::OpenArchive(f.dir / "huge.lzh", f.work);
    EXPECT_EQ(result.status, Opened::NotADay);
    EXPECT_NE(ToUtf8(result.message).find("kol_uma.kd2"), std::string::npos)
        << ToUtf8(result.message);
    EXPECT_EQ(test::ReadFile(f.work / "kol_uma.kd2"), f.files.horseFile);
    EXPECT_EQ(f.day.RaceCount(), 3);
}

TEST(Faults, FullDiskReportsAndWritesNothingHalf)
{
    LoadedDay f;
    const AnalysedRace race = AnalyseRace(f.day, 0);
    // Linux's always-full device (under Wine it is reached the same way, through the drive
    // that maps the Linux root).
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "this system has no always-full device (/dev/full) to write to";
    }
    try {
        WriteExportFile("/dev/full", OneRaceText(race));
        FAIL() << "a full disk must be reported";
    } catch (const Error& e) {
        EXPECT_NE(ToUtf8(e.what()).find("/dev/full"), std::string::npos) << ToUtf8(e.what());
        EXPECT_NE(ToUtf8(e.what()).find("作成できません"), std::string::npos);
    }
    // An export over an existing file that fails leaves that file whole.
    f.dir.Write("keep.txt", "earlier export");
    fs::create_directory(f.dir / "keep.txt.dir");
    EXPECT_THROW(WriteExportFile(f.dir / "keep.txt.dir", OneRaceText(race)), Error);
    EXPECT_TRUE(fs::is_directory(f.dir / "keep.txt.dir"));
    EXPECT_EQ(f.dir.Read("keep.txt"), "earlier export");
}

TEST(Faults, ReadOnlyWorkFolderIsReportedAndTheDayStays)
{
    LoadedDay f;
    const auto lines = f.day.raceLines;
    f.dir.Write("second.lzh", Archive(SmallDay(2)));
    fs::permissions(f.work,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    // Whether the folder is read-only for this process: root writes into it anyway, and so
    // does Windows, which reads the read-only mark of a folder as a hint only.
    const fs::path probe = f.work / "probe";
    const bool writable = std::ofstream(probe).is_open();
    if (writable) {
        fs::remove(probe);
        fs::permissions(f.work, fs::perms::owner_write, fs::perm_options::add);
        GTEST_SKIP() << "the folder stays writable for this process (root, or Windows, where "
                        "the read-only mark of a folder does not keep files out)";
    }
    const OpenOutcome result = test::OpenArchive(f.dir / "second.lzh", f.work);
    fs::permissions(f.work, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(result.status, Opened::Failed);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(f.day.raceLines, lines);
    EXPECT_EQ(test::ReadFile(f.work / "kol_uma.kd2"), f.files.horseFile);
}
