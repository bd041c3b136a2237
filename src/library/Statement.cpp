#include "library/Statement.h"

#include <limits>
#include <sqlite3.h>
#include <utility>

#include "base/Encoding.h"
#include "library/Connection.h"

namespace furlox::library {

Statement::Statement(const detail::Connection& connection, sqlite3_stmt* statement)
    : m_connection(&connection), m_statement(statement)
{}

Statement::Statement(Statement&& other) noexcept
    : m_connection(other.m_connection), m_statement(std::exchange(other.m_statement, nullptr))
{}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_statement);
        m_connection = other.m_connection;
        m_statement = std::exchange(other.m_statement, nullptr);
    }
    return *this;
}

Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

void Statement::Check(int code) const
{
    if (code != SQLITE_OK) {
        m_connection->Fail(code);
    }
}

Statement& Statement::Bind(int index, std::int64_t value)
{
    Check(sqlite3_bind_int64(m_statement, index, value));
    return *this;
}

Statement& Statement::Bind(int index, double value)
{
    Check(sqlite3_bind_double(m_statement, index, value));
    return *this;
}

Statement& Statement::Bind(int index, std::string_view utf8)
{
    if (!IsUtf8(utf8)) {
        // The core's texts are CP932: one handed over unconverted would be stored garbled.
        throw LibraryError(LibraryFault::Other,
                           "ライブラリ "_sj + PathText(m_connection->file) +
                               " に書く文字列が UTF-8 ではありません。"_sj,
                           SQLITE_MISUSE, "parameter " + std::to_string(index) + " is no UTF-8");
    }
    // An empty view may have no data pointer, and a null pointer binds NULL, not "".
    Check(sqlite3_bind_text64(m_statement, index, utf8.empty() ? "" : utf8.data(), utf8.size(),
                              SQLITE_TRANSIENT, SQLITE_UTF8));
    return *this;
}

Statement& Statement::Bind(int index, Blob bytes)
{
    if (bytes.bytes.empty()) {
        Check(sqlite3_bind_zeroblob(m_statement, index, 0));
    } else {
        Check(sqlite3_bind_blob64(m_statement, index, bytes.bytes.data(), bytes.bytes.size(),
                                  SQLITE_TRANSIENT));
    }
    return *this;
}

Statement& Statement::Bind(int index, std::nullopt_t)
{
    Check(sqlite3_bind_null(m_statement, index));
    return *this;
}

bool Statement::Step()
{
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW) {
        return true;
    }
    if (code == SQLITE_DONE) {
        return false;
    }
    // Ready to run again once the cause is gone (a busy library).
    sqlite3_reset(m_statement);
    m_connection->Fail(code);
}

void Statement::Run()
{
    while (Step()) {
    }
    sqlite3_reset(m_statement);
}

Statement& Statement::Reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    return *this;
}

int Statement::ColumnCount() const
{
    return sqlite3_column_count(m_statement);
}

bool Statement::IsNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

void Statement::WrongColumn(int column, const char* wanted) const
{
    const char* name = sqlite3_column_name(m_statement, column);
    throw LibraryError(
        LibraryFault::Damaged,
        "ライブラリ "_sj + PathText(m_connection->file) + " の内容が想定と違います。"_sj,
        SQLITE_MISMATCH,
        "column " + std::to_string(column) + " (" + (name ? name : "?") + ") is not " + wanted);
}

std::int64_t Statement::Int64(int column) const
{
    if (sqlite3_column_type(m_statement, column) != SQLITE_INTEGER) {
        WrongColumn(column, "an integer");
    }
    return sqlite3_column_int64(m_statement, column);
}

int Statement::Int(int column) const
{
    const std::int64_t value = Int64(column);
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        WrongColumn(column, "an int");
    }
    return static_cast<int>(value);
}

double Statement::Double(int column) const
{
    const int type = sqlite3_column_type(m_statement, column);
    if (type != SQLITE_FLOAT && type != SQLITE_INTEGER) {
        WrongColumn(column, "a number");
    }
    return sqlite3_column_double(m_statement, column);
}

std::string Statement::Text(int column) const
{
    if (sqlite3_column_type(m_statement, column) != SQLITE_TEXT) {
        WrongColumn(column, "a text");
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    const int size = sqlite3_column_bytes(m_statement, column);
    return text ? std::string(text, static_cast<std::size_t>(size)) : std::string();
}

std::string Statement::Bytes(int column) const
{
    if (sqlite3_column_type(m_statement, column) != SQLITE_BLOB) {
        WrongColumn(column, "bytes");
    }
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
    const int size = sqlite3_column_bytes(m_statement, column);
    return bytes ? std::string(bytes, static_cast<std::size_t>(size)) : std::string();
}

std::optional<std::int64_t> Statement::OptionalInt64(int column) const
{
    return IsNull(column) ? std::nullopt : std::optional(Int64(column));
}

std::optional<int> Statement::OptionalInt(int column) const
{
    return IsNull(column) ? std::nullopt : std::optional(Int(column));
}

std::optional<double> Statement::OptionalDouble(int column) const
{
    return IsNull(column) ? std::nullopt : std::optional(Double(column));
}

std::optional<std::string> Statement::OptionalText(int column) const
{
    return IsNull(column) ? std::nullopt : std::optional(Text(column));
}

} // namespace furlox::library
