// A writer killed (kill -9, TerminateProcess) in the middle of a write transaction, after SQLite
// has put uncommitted pages into the write-ahead log: the library is sound afterwards and holds
// what was committed, without a row of the half-done transaction.
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <thread>

#include "base/Encoding.h"
#include "library/Database.h"
#include "support/System.h"
#include "support/TempDir.h"

namespace furlox::library {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

TEST(LibraryCrash, AWriterKilledMidTransactionLeavesNoHalfWrite)
{
    // Killed at once, and a little later while it goes on writing.
    for (const int delayMs : {0, 30, 120}) {
        SCOPED_TRACE("killed " + std::to_string(delayMs) + " ms after the log held pages");
        TempDir dir;
        const fs::path file = dir / "library.sqlite3";
        const fs::path ready = dir / "ready";
        auto writer =
            test::StartedProgram::Start(FURLOX_LIBRARY_WRITER, {Utf8Text(file), Utf8Text(ready)});
        ASSERT_TRUE(writer);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!fs::exists(ready) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_TRUE(fs::exists(ready)) << "the writer never got to its second transaction";
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        writer->Kill();
        EXPECT_EQ(writer->Wait(), -1) << "the writer ended before it was killed";

        // The half transaction reached the disk: the test is about a real half write.
        fs::path wal = file;
        wal += "-wal";
        ASSERT_TRUE(fs::exists(wal));
        EXPECT_GT(fs::file_size(wal), 1000u * 1000u);

        Database database = Database::Open(file);
        EXPECT_TRUE(database.QuickCheck().sound);
        Statement count = database.Prepare("SELECT kind, count(*) FROM rows GROUP BY kind");
        ASSERT_TRUE(count.Step());
        EXPECT_EQ(count.Text(0), "committed");
        EXPECT_EQ(count.Int64(1), 10);
        EXPECT_FALSE(count.Step()) << "rows of the uncommitted transaction are there";
    }
}

} // namespace
} // namespace furlox::library
