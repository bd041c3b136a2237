// The SQLite layer of the library: opening, typed values both ways, transactions, the busy
// timeout between two connections and the checks of a damaged file.
#include <chrono>
#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <thread>

#include "base/Encoding.h"
#include "library/Database.h"
#include "library/LibraryError.h"
#include "library/Transaction.h"
#include "support/TempDir.h"

namespace furlox::library {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

// The fault of the LibraryError the call throws; fails the test when it throws none.
template <class F>
LibraryFault FaultOf(F&& call, std::string* message = nullptr)
{
    try {
        call();
    } catch (const LibraryError& e) {
        if (message) {
            *message = ToUtf8(e.what());
        }
        return e.Fault();
    }
    ADD_FAILURE() << "no LibraryError";
    return LibraryFault::Other;
}

std::int64_t Count(Database& database, const std::string& sql)
{
    Statement statement = database.Prepare(sql);
    EXPECT_TRUE(statement.Step());
    return statement.Int64(0);
}

TEST(LibraryDatabase, OpensInWalWithForeignKeysAndTheChosenSynchronous)
{
    TempDir dir;
    Database database = Database::Open(dir / "library.sqlite3");
    EXPECT_EQ(database.JournalMode(), "wal");
    EXPECT_EQ(database.CurrentSynchronous(), Synchronous::Normal);
    EXPECT_EQ(database.UserVersion(), 0);
    database.SetSynchronous(Synchronous::Full);
    EXPECT_EQ(database.CurrentSynchronous(), Synchronous::Full);

    database.Execute("CREATE TABLE days (id INTEGER PRIMARY KEY);"
                     "CREATE TABLE races (day INTEGER NOT NULL REFERENCES days(id))");
    EXPECT_EQ(FaultOf([&] { database.Execute("INSERT INTO races (day) VALUES (7)"); }),
              LibraryFault::Other);
    EXPECT_EQ(Count(database, "SELECT count(*) FROM races"), 0);

    // Each connection sets its own level; the journal stays WAL in the file.
    Database full =
        Database::Open(dir / "library.sqlite3", OpenOptions{.synchronous = Synchronous::Full});
    EXPECT_EQ(full.CurrentSynchronous(), Synchronous::Full);
    EXPECT_EQ(full.JournalMode(), "wal");
}

TEST(LibraryDatabase, AJapaneseFolderName)
{
    TempDir dir;
    fs::create_directories(dir / "作業 フォルダ");
    {
        Database database = Database::Open(dir / "作業 フォルダ/library.sqlite3");
        database.Execute("CREATE TABLE t (x)");
    }
    EXPECT_TRUE(fs::exists(dir / "作業 フォルダ/library.sqlite3"));
    Database again = Database::Open(dir / "作業 フォルダ/library.sqlite3");
    EXPECT_EQ(Count(again, "SELECT count(*) FROM sqlite_schema WHERE name = 't'"), 1);
}

TEST(LibraryDatabase, ValuesGoInAndComeBackWithTheirTypes)
{
    TempDir dir;
    Database database = Database::Open(dir / "library.sqlite3");
    database.Execute("CREATE TABLE v (i INTEGER, d REAL, t TEXT, b BLOB)");
    const std::string cp932 = "ソ表"_sj; // trail bytes 0x5C: must come back as they are
    const std::string withZero("a\0b", 3);
    Statement insert = database.Prepare("INSERT INTO v VALUES (?, ?, ?, ?)");
    insert.BindAll(std::numeric_limits<std::int64_t>::min(), 0.1, "東京　芝", Blob{cp932}).Run();
    insert.BindAll(std::numeric_limits<std::int64_t>::max(), -2.5, "", Blob{withZero}).Run();
    insert.BindAll(std::nullopt, std::optional<double>(), std::optional<std::string>(), Blob{""})
        .Run();

    Statement select = database.Prepare("SELECT i, d, t, b FROM v ORDER BY rowid");
    ASSERT_TRUE(select.Step());
    EXPECT_EQ(select.Int64(0), std::numeric_limits<std::int64_t>::min());
    EXPECT_DOUBLE_EQ(select.Double(1), 0.1);
    EXPECT_EQ(select.Text(2), "東京　芝");
    EXPECT_EQ(select.Bytes(3), cp932);
    ASSERT_TRUE(select.Step());
    EXPECT_EQ(select.OptionalInt64(0), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(select.Text(2), "");
    EXPECT_FALSE(select.IsNull(2)) << "an empty text is not NULL";
    EXPECT_EQ(select.Bytes(3), withZero);
    ASSERT_TRUE(select.Step());
    EXPECT_EQ(select.OptionalInt64(0), std::nullopt);
    EXPECT_EQ(select.OptionalDouble(1), std::nullopt);
    EXPECT_EQ(select.OptionalText(2), std::nullopt);
    EXPECT_FALSE(select.IsNull(3)) << "an empty blob is not NULL";
    EXPECT_EQ(select.Bytes(3), "");
    EXPECT_FALSE(select.Step());
}

TEST(LibraryDatabase, AWrongTypeOrAnUnexpectedNullIsNoSilentZero)
{
    TempDir dir;
    Database database = Database::Open(dir / "library.sqlite3");
    database.Execute("CREATE TABLE v (i, t); INSERT INTO v VALUES (NULL, '12');"
                     "INSERT INTO v VALUES (4294967296, 'x')");
    Statement select = database.Prepare("SELECT i, t FROM v ORDER BY rowid");
    ASSERT_TRUE(select.Step());
    EXPECT_EQ(FaultOf([&] { select.Int64(0); }), LibraryFault::Damaged);
    EXPECT_EQ(FaultOf([&] { select.Text(0); }), LibraryFault::Damaged);
    EXPECT_EQ(FaultOf([&] { select.Int64(1); }), LibraryFault::Damaged) << "'12' is a text";
    ASSERT_TRUE(select.Step());
    EXPECT_EQ(select.Int64(0), 4294967296);
    EXPECT_EQ(FaultOf([&] { select.Int(0); }), LibraryFault::Damaged) << "past an int";
    EXPECT_EQ(FaultOf([&] { select.Bytes(1); }), LibraryFault::Damaged);
}

TEST(LibraryDatabase, ACp932TextIsRefusedNotStoredGarbled)
{
    TempDir dir;
    Database database = Database::Open(dir / "library.sqlite3");
    database.Execute("CREATE TABLE v (t TEXT)");
    Statement insert = database.Prepare("INSERT INTO v VALUES (?)");
    EXPECT_EQ(FaultOf([&] { insert.Bind(1, "東京"_sj); }), LibraryFault::Other);
    EXPECT_EQ(Count(database, "SELECT count(*) FROM v"), 0);
}

TEST(LibraryDatabase, PrepareTakesExactlyOneStatement)
{
    TempDir dir;
    Database database = Database::Open(dir / "library.sqlite3");
    database.Execute("CREATE TABLE v (x)");
    EXPECT_EQ(FaultOf([&] { database.Prepare("INSERT INTO v VALUES (1); DELETE FROM v"); }),
              LibraryFault::Other);
    EXPECT_EQ(FaultOf([&] { database.Prepare("SELEKT 1"); }), LibraryFault::Other);
    EXPECT_NO_THROW(database.Prepare("SELECT 1;  \n"));
}

TEST(LibraryTransaction, CommitsWholeOrRollsBackOnAnException)
{
    TempDir dir;
    Database database = Database::Open(dir / "library.sqlite3");
    database.Execute("CREATE TABLE v (x INTEGER NOT NULL)");
    EXPECT_THROW(
        {
            Transaction transaction(database);
            database.Execute("INSERT INTO v VALUES (1)");
            database.Execute("INSERT INTO v VALUES (2)");
            throw std::runtime_error("the import failed half-way");
        },
        std::runtime_error);
    EXPECT_FALSE(database.InTransaction());
    EXPECT_EQ(Count(database, "SELECT count(*) FROM v"), 0);

    {
        Transaction transaction(database);
        database.Execute("INSERT INTO v VALUES (1)");
        // A statement that fails inside leaves the whole transaction to be rolled back.
        EXPECT_EQ(FaultOf([&] { database.Execute("INSERT INTO v VALUES (NULL)"); }),
                  LibraryFault::Other);
    }
    EXPECT_EQ(Count(database, "SELECT count(*) FROM v"), 0);

    {
        Transaction transaction(database);
        database.Execute("INSERT INTO v VALUES (3)");
        transaction.Commit();
    }
    EXPECT_EQ(Count(database, "SELECT count(*) FROM v"), 1);
    // Seen by another connection: committed, not only in this one's cache.
    Database other = Database::Open(dir / "library.sqlite3");
    EXPECT_EQ(Count(other, "SELECT sum(x) FROM v"), 3);
}

TEST(LibraryBusy, ASecondWriterWaitsThenSaysTheLibraryIsInUse)
{
    TempDir dir;
    Database first = Database::Open(dir / "library.sqlite3");
    first.Execute("CREATE TABLE v (x)");
    Database second = Database::Open(dir / "library.sqlite3",
                                     OpenOptions{.busyTimeout = std::chrono::milliseconds(300)});
    {
        Transaction holding(first);
        first.Execute("INSERT INTO v VALUES (1)");

        // Readers are not held up by a writer in WAL mode.
        EXPECT_EQ(Count(second, "SELECT count(*) FROM v"), 0);

        std::string message;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(FaultOf([&] { Transaction waiting(second); }, &message), LibraryFault::Busy);
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_GE(waited, std::chrono::milliseconds(250)) << "it gave up without waiting";
        EXPECT_NE(message.find("ライブラリは使用中です"), std::string::npos) << message;
        EXPECT_NE(message.find(Utf8Text(dir / "library.sqlite3")), std::string::npos) << message;
        holding.Commit();
    }
    Transaction now(second);
    second.Execute("INSERT INTO v VALUES (2)");
    now.Commit();
    EXPECT_EQ(Count(first, "SELECT count(*) FROM v"), 2);
}

TEST(LibraryBusy, AWriterThatFinishesWithinTheTimeoutIsWaitedFor)
{
    TempDir dir;
    Database first = Database::Open(dir / "library.sqlite3");
    first.Execute("CREATE TABLE v (x)");
    Database second = Database::Open(dir / "library.sqlite3");
    auto holding = std::make_unique<Transaction>(first);
    first.Execute("INSERT INTO v VALUES (1)");
    std::thread finisher([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        holding->Commit();
        holding.reset();
    });
    EXPECT_NO_THROW({
        Transaction waiting(second);
        second.Execute("INSERT INTO v VALUES (2)");
        waiting.Commit();
    });
    finisher.join();
    EXPECT_EQ(Count(second, "SELECT count(*) FROM v"), 2);
}

// A library of some pages, closed (so everything is in the main file).
void MakeLibrary(const fs::path& file)
{
    Database database = Database::Open(file);
    database.Execute("CREATE TABLE runs (id INTEGER PRIMARY KEY, name TEXT);"
                     "CREATE INDEX runs_name ON runs (name)");
    Transaction transaction(database);
    Statement insert = database.Prepare("INSERT INTO runs (name) VALUES (?)");
    for (int i = 0; i < 2000; ++i) {
        insert.Bind(1, "horse " + std::to_string(i)).Run();
    }
    transaction.Commit();
}

void Overwrite(const fs::path& file, std::uintmax_t offset, std::size_t count)
{
    std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
    stream.seekp(static_cast<std::streamoff>(offset));
    const std::string garbage(count, '\x5A');
    stream.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
}

TEST(LibraryCheck, ACheckOnABudgetSaysWhetherItEnded)
{
    TempDir dir;
    const fs::path file = dir / "library.sqlite3";
    MakeLibrary(file);
    {
        Database database = Database::Open(file);
        const CheckResult cut = database.QuickCheck(std::chrono::milliseconds(0));
        EXPECT_FALSE(cut.whole);
        EXPECT_TRUE(cut.sound) << "nothing found in the part it reached";
        const CheckResult ended = database.QuickCheck(std::chrono::seconds(60));
        EXPECT_TRUE(ended.whole);
        EXPECT_TRUE(ended.sound);
        // The budget goes with its check: what runs next runs to its end.
        Statement count = database.Prepare("SELECT count(*) FROM runs");
        ASSERT_TRUE(count.Step());
        EXPECT_EQ(count.Int(0), 2000);
    }
    Overwrite(file, fs::file_size(file) / 2, 3000);
    Database damaged = Database::Open(file);
    const CheckResult found = damaged.QuickCheck(std::chrono::seconds(60));
    EXPECT_TRUE(found.whole);
    EXPECT_FALSE(found.sound);
}

TEST(LibraryCheck, ASoundLibraryPassesAndDamageIsFound)
{
    TempDir dir;
    const fs::path file = dir / "library.sqlite3";
    MakeLibrary(file);
    {
        Database database = Database::Open(file);
        const CheckResult sound = database.QuickCheck();
        EXPECT_TRUE(sound.sound);
        EXPECT_TRUE(sound.problems.empty());
        EXPECT_TRUE(database.IntegrityCheck().sound);
    }
    const std::uintmax_t size = fs::file_size(file);
    ASSERT_GT(size, 8 * 4096u);

    // Bytes overwritten in the middle of the file: the header still opens, the check finds it.
    Overwrite(file, size / 2, 3000);
    {
        Database database = Database::Open(file);
        const CheckResult damaged = database.QuickCheck();
        EXPECT_FALSE(damaged.sound);
        EXPECT_FALSE(damaged.problems.empty());
        EXPECT_FALSE(database.IntegrityCheck().sound);
    }

    // Cut short: refused when it is opened (its schema is gone) or found by the check.
    const fs::path cut = dir / "cut.sqlite3";
    MakeLibrary(cut);
    fs::resize_file(cut, fs::file_size(cut) / 3);
    try {
        Database database = Database::Open(cut);
        EXPECT_FALSE(database.QuickCheck().sound);
    } catch (const LibraryError& e) {
        EXPECT_EQ(e.Fault(), LibraryFault::Damaged) << ToUtf8(e.what());
    }
}

TEST(LibraryCheck, AFileThatIsNoDatabaseIsRefusedAtOpenNamingIt)
{
    TempDir dir;
    dir.Write("library.sqlite3", std::string(8192, 'n'));
    std::string message;
    EXPECT_EQ(FaultOf([&] { Database::Open(dir / "library.sqlite3"); }, &message),
              LibraryFault::Damaged);
    EXPECT_NE(message.find(Utf8Text(dir / "library.sqlite3")), std::string::npos) << message;
    EXPECT_NE(message.find("壊れて"), std::string::npos) << message;
    // Refused, not changed.
    EXPECT_EQ(dir.Read("library.sqlite3"), std::string(8192, 'n'));

    // The first page's header itself overwritten.
    MakeLibrary(dir / "header.sqlite3");
    Overwrite(dir / "header.sqlite3", 0, 100);
    EXPECT_EQ(FaultOf([&] { Database::Open(dir / "header.sqlite3"); }), LibraryFault::Damaged);
}

TEST(LibraryOpen, AFileThatCannotBeOpenedIsNamed)
{
    TempDir dir;
    std::string message;
    EXPECT_EQ(FaultOf([&] { Database::Open(dir / "no such folder/library.sqlite3"); }, &message),
              LibraryFault::CannotOpen);
    EXPECT_NE(message.find("no such folder"), std::string::npos) << message;
    EXPECT_EQ(
        FaultOf([&] { Database::Open(dir / "missing.sqlite3", OpenOptions{.readOnly = true}); }),
        LibraryFault::CannotOpen);
    EXPECT_FALSE(fs::exists(dir / "missing.sqlite3"));
}

} // namespace
} // namespace furlox::library
