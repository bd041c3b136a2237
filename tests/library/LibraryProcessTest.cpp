// Imports by other processes: killed at random moments, and two at once.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "base/Encoding.h"
#include "library/Library.h"
#include "library/SeasonDays.h"
#include "support/System.h"
#include "support/TempDir.h"

namespace furlox::library {
namespace {

namespace fs = std::filesystem;
using test::SeasonDay;
using test::TempDir;

// A folder of `count` days of 36 races of 12 runners, each horse with five past runs.
fs::path SeasonFolder(const TempDir& dir, int count, const std::string& name = "season")
{
    const fs::path folder = dir / name;
    fs::create_directories(folder);
    for (int d = 0; d < count; ++d) {
        const std::string date =
            "200102" + std::string(d + 1 < 10 ? "0" : "") + std::to_string(d + 1);
        test::KolBuilder b;
        for (int r = 0; r < 36; ++r) {
            test::Race& race = b.AddRace()
                                   .Set(kol::race::kYear, date.substr(0, 4))
                                   .Set(kol::race::kMonth, date.substr(4, 2))
                                   .Set(kol::race::kDay, date.substr(6, 2))
                                   .Set(kol::race::kRaceNumber, std::to_string(r % 12 + 1));
            (void)race;
            for (int h = 0; h < 12; ++h) {
                test::Runner& runner = b.AddRunner();
                runner.SetEntry(kol::entry::kHorseName,
                                "ホース" + std::to_string(r) + "の" + std::to_string(h));
                for (int k = 0; k < 5; ++k) {
                    runner.Run(k, test::RunOn("05", "01", std::to_string(28 - 5 * k)));
                }
            }
        }
        dir.Write(name + "/" + date + ".lzh", test::ArchiveOf(b));
    }
    return folder;
}

// Each day of the library whole: as many races and runners as its row says.
void ExpectWholeDays(const fs::path& work)
{
    Library library = Library::Open(work);
    EXPECT_TRUE(library.Db().QuickCheck().sound);
    Statement days = library.Db().Prepare(
        "SELECT d.date, d.race_count, d.runner_count, "
        "(SELECT count(*) FROM races r WHERE r.day_id = d.id), "
        "(SELECT count(*) FROM runners n JOIN races r ON r.id = n.race_id WHERE r.day_id = d.id) "
        "FROM days d");
    while (days.Step()) {
        EXPECT_EQ(days.Int(1), days.Int(3)) << days.Text(0);
        EXPECT_EQ(days.Int(2), days.Int(4)) << days.Text(0);
    }
}

TEST(LibraryProcesses, AnImportKilledAtRandomMomentsLeavesWholeDays)
{
    TempDir dir;
    const fs::path work = dir / "work";
    fs::create_directories(work);
    const fs::path folder = SeasonFolder(dir, 6);
    std::mt19937 random(24);
    for (int round = 0; round < 20; ++round) {
        const int delayMs = std::uniform_int_distribution<int>(0, 400)(random);
        SCOPED_TRACE("round " + std::to_string(round) + ", killed after " +
                     std::to_string(delayMs) + " ms");
        auto importer = test::StartedProgram::Start(
            FURLOX_CLI, {"--workdir", Utf8Text(work), "library", "import", Utf8Text(folder)});
        ASSERT_TRUE(importer);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        importer->Kill();
        importer->Wait();
        ExpectWholeDays(work);
    }
    const test::CommandResult last =
        test::RunCliIn(work, {"library", "import", Utf8Text(folder)}, test::Stderr::Merge);
    EXPECT_EQ(last.exitCode, 0) << last.out;
    ExpectWholeDays(work);
    Library library = Library::Open(work);
    EXPECT_EQ(library.Days().size(), 6u);
    EXPECT_TRUE(library.Check().sound);
}

TEST(LibraryProcesses, TwoImportsAtOnceBothFinishOrOneSaysTheLibraryIsBusy)
{
    TempDir dir;
    const fs::path work = dir / "work";
    fs::create_directories(work);
    const fs::path first = SeasonFolder(dir, 3, "first");
    test::CommandResult other;
    std::thread second([&] {
        other = test::RunCliIn(work, {"library", "import", Utf8Text(first)}, test::Stderr::Merge);
    });
    test::CommandResult mine =
        test::RunCliIn(work, {"library", "import", Utf8Text(first)}, test::Stderr::Merge);
    second.join();
    for (const test::CommandResult* result : std::array{&mine, &other}) {
        EXPECT_TRUE(result->exitCode == 0 || result->out.find("使用中") != std::string::npos)
            << result->out;
    }
    ExpectWholeDays(work);
    Library library = Library::Open(work);
    EXPECT_EQ(library.Days().size(), 3u) << "nothing lost, nothing doubled";
}

} // namespace
} // namespace furlox::library
