// A process killed at any step of putting an archive's files in place: the next start, load
// or open finds one whole day in the work directory, the old one or the new one, and nothing
// else. The kill is real: the test program runs itself again as the opening process, which
// ends at once (no destructor, no clean-up, as under SIGKILL) when the commit reaches the step
// it was given.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "archive/DayArchive.h"
#include "base/Encoding.h"
#include "base/Error.h"
#include "kol/SampleDay.h"
#include "kol/WorkDir.h"
#include "support/LhaWriter.h"
#include "support/OpenOutcome.h"
#include "support/System.h"
#include "support/TempDir.h"

namespace furlox::app {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;

constexpr int kKilled = 9;
constexpr int kFinished = 3;
constexpr int kFailed = 4;

// The test program run again by the tests below: opens FURLOX_TEST_KILL_ARCHIVE into
// FURLOX_TEST_KILL_WORK and ends the process at commit step FURLOX_TEST_KILL_STEP, before any
// test runs.
[[maybe_unused]] const bool killedOpener = [] {
    const char* step = std::getenv("FURLOX_TEST_KILL_STEP");
    const char* archive = std::getenv("FURLOX_TEST_KILL_ARCHIVE");
    const char* work = std::getenv("FURLOX_TEST_KILL_WORK");
    if (!step || !archive || !work) {
        return false;
    }
    const int killAt = std::atoi(step);
    try {
        const auto lock = kol::LockWorkDir(Utf8Path(work));
        kol::RecoverWorkDir(Utf8Path(work));
        archive::ExtractDayArchive(Utf8Path(archive), Utf8Path(work), nullptr, [killAt](int s) {
            if (s == killAt) {
                std::_Exit(kKilled);
            }
        });
    } catch (const std::exception&) {
        std::_Exit(kFailed);
    }
    std::_Exit(kFinished);
}();

kol::SampleFiles Sample(std::uint64_t seed)
{
    kol::SampleOptions options;
    options.seed = seed;
    options.races = 3;
    return kol::MakeSampleDay(options);
}

std::vector<std::pair<std::string, std::string>> DayEntries(const kol::SampleFiles& day)
{
    return {{"kol_den1.kd2", day.raceFile},
            {"kol_den2.kd2", day.entryFile},
            {"kol_uma.kd2", day.horseFile}};
}

// Which of the two days the work directory holds: 1 or 2, 0 for a mix or anything else.
int WhichDay(const fs::path& work, const kol::SampleFiles& one, const kol::SampleFiles& two)
{
    const std::string race = ReadFile(work / "kol_den1.kd2");
    const std::string entry = ReadFile(work / "kol_den2.kd2");
    const std::string horse = ReadFile(work / "kol_uma.kd2");
    if (race == one.raceFile && entry == one.entryFile && horse == one.horseFile) {
        return 1;
    }
    if (race == two.raceFile && entry == two.entryFile && horse == two.horseFile) {
        return 2;
    }
    return 0;
}

struct KillRun
{
    std::vector<int> days; // the day found after the kill at step 0, 1, 2 …
    int steps = 0;         // steps of the whole commit
};

// Opens the first day, then the archive `second` with a kill at every step of its commit in
// turn, and after each kill recovers the way the next start does (a load).
KillRun KillAtEveryStep(const std::string& second, const kol::SampleFiles& one,
                        const kol::SampleFiles& two)
{
    KillRun run;
    test::TempDir dir;
    dir.Write("one.lzh", test::MakeLhaFiles(DayEntries(one)));
    dir.Write("two.lzh", second);
    for (int step = 0;; ++step) {
        SCOPED_TRACE("killed at step " + std::to_string(step));
        const fs::path work = dir / ("work" + std::to_string(step));
        fs::create_directory(work);
        EXPECT_EQ(test::OpenArchive(dir / "one.lzh", work).status, test::Opened::Day);
        const test::CommandResult child =
            test::RunProgram(platform::ProgramFile(), {}, test::Stderr::Discard,
                             {{"FURLOX_TEST_KILL_STEP", std::to_string(step)},
                              {"FURLOX_TEST_KILL_ARCHIVE", Utf8Text(dir / "two.lzh")},
                              {"FURLOX_TEST_KILL_WORK", Utf8Text(work)}});
        if (child.exitCode != kKilled) {
            EXPECT_TRUE(child.exitCode == kFinished || child.exitCode == kFailed)
                << "exit code " << child.exitCode;
            run.steps = step;
            return run;
        }
        // The next start loads the work directory's day.
        const std::optional<kol::LoadedDay> loaded = kol::LoadWorkDay(work);
        EXPECT_TRUE(loaded.has_value());
        const int day = WhichDay(work, one, two);
        EXPECT_NE(day, 0) << "a mixed day";
        EXPECT_EQ(test::NamesIn(work),
                  (std::set<std::string>{"kol_den1.kd2", "kol_den2.kd2", "kol_uma.kd2"}));
        if (loaded) {
            EXPECT_EQ(loaded->day.raceLines.front(),
                      (day == 2 ? two : one).raceFile.substr(0, one.raceFile.find('\r')));
        }
        run.days.push_back(day);
        if (step > 40) {
            ADD_FAILURE() << "the commit never ended";
            return run;
        }
    }
}

TEST(CommitKill, AKillAtEveryStepLeavesTheOldDayOrTheNew)
{
    const kol::SampleFiles one = Sample(1);
    const kol::SampleFiles two = Sample(2);
    const KillRun run = KillAtEveryStep(test::MakeLhaFiles(DayEntries(two)), one, two);
    // Three second names, the journal, three renames, the journal gone, three second names
    // gone: the old day until the journal is written, the new one from then on.
    ASSERT_EQ(run.steps, 11);
    EXPECT_EQ(run.days, (std::vector<int>{1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2}));
}

TEST(CommitKill, AKillWhileAFailedCommitUndoesItselfLeavesTheOldDay)
{
    const kol::SampleFiles one = Sample(1);
    const kol::SampleFiles two = Sample(2);
    // The last name is too long for the file system: its rename fails after the three data
    // files are in place, and the commit undoes itself.
    auto entries = DayEntries(two);
    entries.push_back({std::string(300, 'n'), "long"});
    const KillRun run = KillAtEveryStep(test::MakeLhaFiles(entries), one, two);
    // Three second names, the journal, four renames (the last fails), the journal turned
    // round, three files back, the journal gone. Killed during the renames, the next start
    // cannot finish the commit either and undoes it: the old day at every step.
    ASSERT_EQ(run.steps, 13);
    EXPECT_EQ(run.days, std::vector<int>(13, 1));
}

// A journal that is not the program's, or that points out of the work directory, is never
// followed: the load stops and names it, and nothing moves.
TEST(CommitKill, AJournalThatCannotBeTrustedIsNeverFollowed)
{
    const kol::SampleFiles one = Sample(1);
    test::TempDir dir;
    const fs::path work = dir / "work";
    fs::create_directory(work);
    dir.Write("one.lzh", test::MakeLhaFiles(DayEntries(one)));
    ASSERT_EQ(test::OpenArchive(dir / "one.lzh", work).status, test::Opened::Day);
    dir.Write("evil", "from outside");
    const std::string journals[] = {
        "garbage",
        "furlox commit journal 1\nforward\n.extract-x\t\tkol_den1.kd2\n", // cut off
        "furlox commit journal 1\nforward\n../evil\t\tkol_den1.kd2\nend\n",
        "furlox commit journal 1\nsideways\nend\n",
    };
    for (const std::string& journal : journals) {
        SCOPED_TRACE(journal);
        dir.Write("work/.furlox-commit", journal);
        try {
            kol::LoadWorkDay(work);
            ADD_FAILURE() << "the journal was followed";
        } catch (const Error& e) {
            EXPECT_NE(ToUtf8(e.what()).find(".furlox-commit"), std::string::npos);
        }
        EXPECT_EQ(WhichDay(work, one, one), 1);
        EXPECT_EQ(dir.Read("evil"), "from outside");
        EXPECT_EQ(dir.Read("work/.furlox-commit"), journal);
    }
}

} // namespace
} // namespace furlox::app
