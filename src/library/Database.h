#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/Statement.h"

namespace furlox::library {

namespace detail {
struct Connection;
}

// How much a commit waits for the disk. Full: a committed transaction survives a power cut,
// for what the user enters. Normal: in WAL mode a power cut may lose the last commits but
// never damages the database, for what can be made again (an import).
enum class Synchronous
{
    Off,
    Normal,
    Full,
};

// How long a connection waits for another one's lock before it gives up and says that the
// library is in use.
inline constexpr std::chrono::milliseconds kBusyTimeout{8000};

struct OpenOptions
{
    Synchronous synchronous = Synchronous::Normal;
    std::chrono::milliseconds busyTimeout = kBusyTimeout;
    bool readOnly = false; // read only; the file must exist
};

// What a check of the whole file found. The problems are SQLite's own lines (English, UTF-8),
// for a log or `library check`; a message for the user is made from `sound`.
struct CheckResult
{
    bool sound = false;
    std::vector<std::string> problems;
    // False when a check given a time budget ran out of it: `sound` then says that the part
    // it reached was sound.
    bool whole = true;
};

// One connection to a library file: WAL journal, foreign keys on, the busy timeout and the
// synchronous level of its options. Closed when it goes; the statements and transactions made
// from it must go first.
class Database
{
public:
    // Opens the file, making an empty database when it does not exist (unless read only), and
    // reads its schema, so a file that is no database is refused here (LibraryFault::Damaged).
    static Database Open(const std::filesystem::path& file, const OpenOptions& options = {});

    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    const std::filesystem::path& File() const;

    // Runs statements that return no rows (one or more, separated by ";").
    void Execute(std::string_view sql);
    // One statement, to bind and step.
    Statement Prepare(std::string_view sql);

    // The schema version (PRAGMA user_version); 0 for a new database.
    int UserVersion();
    void SetUserVersion(int version);

    void SetSynchronous(Synchronous level);
    Synchronous CurrentSynchronous();
    // "wal" once opened for writing.
    std::string JournalMode();

    // PRAGMA quick_check: the pages and the indexes' order, in a time that grows with the file
    // (no index is compared with its table). IntegrityCheck is the whole check.
    CheckResult QuickCheck();
    CheckResult IntegrityCheck();
    // The quick check, stopped after `budget`: what can be checked while a user waits for an
    // open (the first pages, the schema, and as far as it gets). `whole` says whether it ended.
    CheckResult QuickCheck(std::chrono::milliseconds budget);

    // Copies the whole database into `target` (replaced) with SQLite's online backup: a
    // consistent picture of one moment, also while other connections write.
    void BackupTo(const std::filesystem::path& target);

    std::int64_t LastInsertRowId() const;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int Changes() const;
    // True while a transaction is open.
    bool InTransaction() const;

private:
    explicit Database(std::unique_ptr<detail::Connection> connection);
    CheckResult Check(std::string_view pragma,
                      std::optional<std::chrono::milliseconds> budget = {});

    std::unique_ptr<detail::Connection> m_connection;
};

} // namespace furlox::library
