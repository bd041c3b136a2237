#include "library/Database.h"

#include <sqlite3.h>

#include "base/Encoding.h"
#include "library/Connection.h"

namespace furlox::library {
namespace {

const char* PragmaValue(Synchronous level)
{
    switch (level) {
    case Synchronous::Off:
        return "OFF";
    case Synchronous::Normal:
        return "NORMAL";
    case Synchronous::Full:
        return "FULL";
    }
    return "FULL";
}

} // namespace

Database Database::Open(const std::filesystem::path& file, const OpenOptions& options)
{
    auto connection = std::make_unique<detail::Connection>();
    connection->file = file;
    const int flags =
        options.readOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    // SQLite takes the name as UTF-8 on every system (its Windows layer makes it UTF-16).
    const int opened = sqlite3_open_v2(Utf8Text(file).c_str(), &connection->handle,
                                       flags | SQLITE_OPEN_EXRESCODE, nullptr);
    // From here the connection closes with the Database, also when a step below throws.
    Database database(std::move(connection));
    detail::Connection& c = *database.m_connection;
    if (opened != SQLITE_OK) {
        c.Fail(c.handle ? sqlite3_extended_errcode(c.handle) : opened);
    }
    sqlite3_extended_result_codes(c.handle, 1);
    sqlite3_busy_timeout(c.handle, static_cast<int>(options.busyTimeout.count()));
    database.Execute("PRAGMA foreign_keys = ON");
    // Reading the schema reads the file's first page: a file that is no database stops here.
    database.Prepare("SELECT count(*) FROM sqlite_schema").Step();
    if (!options.readOnly && database.JournalMode() != "wal") {
        Statement wal = database.Prepare("PRAGMA journal_mode = WAL");
        if (!wal.Step() || wal.Text(0) != "wal") {
            throw LibraryError(LibraryFault::Other,
                               "ライブラリ "_sj + PathText(file) +
                                   " を先行書き込みログ（WAL）の形式にできません。"_sj);
        }
    }
    database.SetSynchronous(options.synchronous);
    return database;
}

Database::Database(std::unique_ptr<detail::Connection> connection)
    : m_connection(std::move(connection))
{}

Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&& other) noexcept
{
    if (this != &other) {
        if (m_connection && m_connection->handle) {
            sqlite3_close_v2(m_connection->handle);
        }
        m_connection = std::move(other.m_connection);
    }
    return *this;
}

Database::~Database()
{
    if (m_connection && m_connection->handle) {
        // Waits for nothing: statements still open keep the connection until they go.
        sqlite3_close_v2(m_connection->handle);
    }
}

const std::filesystem::path& Database::File() const
{
    return m_connection->file;
}

void Database::Execute(std::string_view sql)
{
    // sqlite3_exec wants a terminated text.
    const std::string text(sql);
    const int code = sqlite3_exec(m_connection->handle, text.c_str(), nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) {
        m_connection->Fail(code);
    }
}

Statement Database::Prepare(std::string_view sql)
{
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    const int code = sqlite3_prepare_v2(m_connection->handle, sql.data(),
                                        static_cast<int>(sql.size()), &statement, &tail);
    if (code != SQLITE_OK) {
        m_connection->Fail(code);
    }
    Statement prepared(*m_connection, statement);
    const std::string_view rest = sql.substr(static_cast<std::size_t>(tail - sql.data()));
    if (!statement || rest.find_first_not_of(" \t\r\n;") != std::string_view::npos) {
        // One statement per Prepare: the rest would be dropped without a word.
        throw LibraryError(LibraryFault::Other,
                           "ライブラリ "_sj + PathText(File()) + " への問い合わせが不正です。"_sj,
                           SQLITE_MISUSE, "not exactly one statement: " + std::string(sql));
    }
    return prepared;
}

int Database::UserVersion()
{
    Statement statement = Prepare("PRAGMA user_version");
    statement.Step();
    return statement.Int(0);
}

void Database::SetUserVersion(int version)
{
    // A pragma takes no parameter; the number is the program's own.
    Execute("PRAGMA user_version = " + std::to_string(version));
}

void Database::SetSynchronous(Synchronous level)
{
    Execute(std::string("PRAGMA synchronous = ") + PragmaValue(level));
}

Synchronous Database::CurrentSynchronous()
{
    Statement statement = Prepare("PRAGMA synchronous");
    statement.Step();
    switch (statement.Int(0)) {
    case 0:
        return Synchronous::Off;
    case 1:
        return Synchronous::Normal;
    default:
        return Synchronous::Full;
    }
}

std::string Database::JournalMode()
{
    Statement statement = Prepare("PRAGMA journal_mode");
    statement.Step();
    return statement.Text(0);
}

CheckResult Database::QuickCheck()
{
    return Check("PRAGMA quick_check");
}

CheckResult Database::IntegrityCheck()
{
    return Check("PRAGMA integrity_check");
}

CheckResult Database::QuickCheck(std::chrono::milliseconds budget)
{
    return Check("PRAGMA quick_check", budget);
}

namespace {

// Stops a statement once its deadline has passed (SQLite asks every so many steps).
int PastDeadline(void* deadline)
{
    return std::chrono::steady_clock::now() >
           *static_cast<const std::chrono::steady_clock::time_point*>(deadline);
}

} // namespace

CheckResult Database::Check(std::string_view pragma,
                            std::optional<std::chrono::milliseconds> budget)
{
    CheckResult result;
    sqlite3* handle = m_connection->handle;
    std::chrono::steady_clock::time_point deadline;
    if (budget) {
        deadline = std::chrono::steady_clock::now() + *budget;
        sqlite3_progress_handler(handle, 1000, PastDeadline, &deadline);
    }
    struct Unhook
    {
        sqlite3* handle;
        bool hooked;
        ~Unhook()
        {
            if (hooked) {
                sqlite3_progress_handler(handle, 0, nullptr, nullptr);
            }
        }
    } unhook{handle, budget.has_value()};
    try {
        Statement statement = Prepare(pragma);
        while (statement.Step()) {
            result.problems.push_back(statement.OptionalText(0).value_or(""));
        }
    } catch (const LibraryError& e) {
        if (budget && (e.SqliteCode() & 0xFF) == SQLITE_INTERRUPT) {
            // Out of time, nothing found so far.
            result.whole = false;
            result.sound = result.problems.empty();
            return result;
        }
        // Pages so broken that the check itself stops are a finding of the check.
        if (e.Fault() != LibraryFault::Damaged) {
            throw;
        }
        result.problems.push_back(e.Detail());
        return result;
    }
    result.sound = result.problems.size() == 1 && result.problems.front() == "ok";
    if (result.sound) {
        result.problems.clear();
    }
    return result;
}

void Database::BackupTo(const std::filesystem::path& target)
{
    sqlite3* copy = nullptr;
    const int opened = sqlite3_open_v2(Utf8Text(target).c_str(), &copy,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const auto fail = [&](int code) {
        const std::string words = copy ? sqlite3_errmsg(copy) : "";
        if (copy) {
            sqlite3_close_v2(copy);
        }
        throw detail::ErrorFor(target, code, words);
    };
    if (opened != SQLITE_OK) {
        fail(opened);
    }
    sqlite3_backup* backup = sqlite3_backup_init(copy, "main", m_connection->handle, "main");
    if (!backup) {
        fail(sqlite3_extended_errcode(copy));
    }
    // All pages in one step: the copy is of one moment of the source, whatever writes beside.
    int code = SQLITE_OK;
    for (int tries = 0;; ++tries) {
        code = sqlite3_backup_step(backup, -1);
        const bool busy = code == SQLITE_BUSY || code == SQLITE_LOCKED;
        if (code != SQLITE_OK && !(busy && tries < 160)) {
            break;
        }
        sqlite3_sleep(50);
    }
    const int finished = sqlite3_backup_finish(backup);
    if (code != SQLITE_DONE) {
        fail(code);
    }
    if (finished != SQLITE_OK) {
        fail(finished);
    }
    if (sqlite3_close(copy) != SQLITE_OK) {
        fail(sqlite3_extended_errcode(copy));
    }
}

std::int64_t Database::LastInsertRowId() const
{
    return sqlite3_last_insert_rowid(m_connection->handle);
}

int Database::Changes() const
{
    return sqlite3_changes(m_connection->handle);
}

bool Database::InTransaction() const
{
    return sqlite3_get_autocommit(m_connection->handle) == 0;
}

} // namespace furlox::library
