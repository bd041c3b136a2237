// The schema's migrations by user_version: every earlier version is brought up to date, a
// newer one is refused and left as it was, a failing step leaves the version before it.
#include <array>
#include <gtest/gtest.h>
#include <string>

#include "base/Encoding.h"
#include "library/Database.h"
#include "library/LibraryError.h"
#include "library/Migrations.h"
#include "support/TempDir.h"

namespace furlox::library {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

// Three steps as a real schema grows: a table, a new column, and a step that changes data
// with code (the distances become metres).
const std::array<MigrationStep, 3> kSteps = {
    MigrationStep{1, "CREATE TABLE races (id INTEGER PRIMARY KEY, distance INTEGER NOT NULL)"},
    MigrationStep{2, "ALTER TABLE races ADD COLUMN course TEXT NOT NULL DEFAULT '東京'"},
    MigrationStep{
        3, "ALTER TABLE races ADD COLUMN metres INTEGER",
        [](Database& database) { database.Execute("UPDATE races SET metres = distance * 100"); }},
};

std::string Row(Database& database, const std::string& sql)
{
    Statement statement = database.Prepare(sql);
    EXPECT_TRUE(statement.Step());
    std::string row;
    for (int i = 0; i < statement.ColumnCount(); ++i) {
        row += (i ? "|" : "") + (statement.IsNull(i) ? std::string("NULL")
                                                     : statement.OptionalText(i).value_or("?"));
    }
    return row;
}

TEST(LibraryMigrations, EveryEarlierVersionComesUpToDateWithItsRows)
{
    for (int from = 0; from <= 3; ++from) {
        SCOPED_TRACE("from version " + std::to_string(from));
        TempDir dir;
        const fs::path file = dir / "library.sqlite3";
        {
            Database database = Database::Open(file);
            EXPECT_EQ(Migrate(database, std::span(kSteps).first(static_cast<std::size_t>(from))),
                      0);
            EXPECT_EQ(database.UserVersion(), from);
            // A row as a program of that version writes it.
            if (from == 3) {
                database.Execute("INSERT INTO races (id, distance, metres) VALUES (1, 18, 1800)");
            } else if (from >= 1) {
                database.Execute("INSERT INTO races (id, distance) VALUES (1, 18)");
            }
        }
        Database database = Database::Open(file);
        EXPECT_EQ(Migrate(database, kSteps), from);
        EXPECT_EQ(database.UserVersion(), 3);
        database.Execute("INSERT OR IGNORE INTO races (id, distance, metres) VALUES (1, 18, 1800)");
        EXPECT_EQ(Row(database, "SELECT CAST(distance AS TEXT), course, CAST(metres AS TEXT) "
                                "FROM races WHERE id = 1"),
                  "18|東京|1800");
        // Once up to date, nothing more runs.
        EXPECT_EQ(Migrate(database, kSteps), 3);
    }
}

TEST(LibraryMigrations, ANewerLibraryIsRefusedAndLeftUnchanged)
{
    TempDir dir;
    const fs::path file = dir / "library.sqlite3";
    {
        Database database = Database::Open(file);
        Migrate(database, kSteps);
        database.Execute("CREATE TABLE notes (horse TEXT); INSERT INTO races (distance) "
                         "VALUES (12)");
        database.SetUserVersion(4);
    }
    const std::string before = test::ReadFile(file);
    ASSERT_FALSE(before.empty());
    {
        Database database = Database::Open(file);
        try {
            Migrate(database, kSteps);
            ADD_FAILURE() << "a newer library was taken";
        } catch (const LibraryError& e) {
            EXPECT_EQ(e.Fault(), LibraryFault::NewerVersion);
            const std::string message = ToUtf8(e.what());
            EXPECT_NE(message.find("新しい版"), std::string::npos) << message;
            EXPECT_NE(message.find("形式 4"), std::string::npos) << message;
            EXPECT_NE(message.find(Utf8Text(file)), std::string::npos) << message;
        }
        EXPECT_EQ(database.UserVersion(), 4);
    }
    EXPECT_EQ(test::ReadFile(file), before);
}

TEST(LibraryMigrations, AFailingStepLeavesTheVersionBeforeIt)
{
    const std::array<MigrationStep, 3> steps = {
        kSteps[0],
        MigrationStep{2, "CREATE TABLE horses (name TEXT); ALTER TABLE no_such ADD COLUMN x"},
        kSteps[2],
    };
    TempDir dir;
    Database database = Database::Open(dir / "library.sqlite3");
    EXPECT_THROW(Migrate(database, steps), LibraryError);
    EXPECT_EQ(database.UserVersion(), 1);
    EXPECT_EQ(
        Row(database, "SELECT CAST(count(*) AS TEXT) FROM sqlite_schema WHERE name = 'horses'"),
        "0")
        << "the failed step's first statement stayed";
    // Mended, the same database goes on from version 1.
    EXPECT_EQ(Migrate(database, kSteps), 1);
    EXPECT_EQ(database.UserVersion(), 3);
}

TEST(LibraryMigrations, StepsMustBeNumberedWithoutAGap)
{
    const std::array<MigrationStep, 2> gap = {kSteps[0], kSteps[2]};
    TempDir dir;
    Database database = Database::Open(dir / "library.sqlite3");
    EXPECT_THROW(Migrate(database, gap), std::logic_error);
    EXPECT_EQ(database.UserVersion(), 0);
}

} // namespace
} // namespace furlox::library
