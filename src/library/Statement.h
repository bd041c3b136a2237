#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3_stmt;

namespace furlox::library {

namespace detail {
struct Connection;
}

// Bytes stored as they are (a BLOB), where a text would be taken for UTF-8.
struct Blob
{
    std::string_view bytes;
};

// One prepared statement. Parameters and columns count as SQLite counts them: parameters from
// 1, columns from 0. Texts are UTF-8 both ways (a CP932 text is refused, not stored garbled);
// Blob and Bytes carry bytes unchanged. A column read with the wrong type, or a NULL read by
// a function without "Optional", is a damaged library (LibraryFault::Damaged), never a silent 0.
class Statement
{
public:
    Statement(const detail::Connection& connection, sqlite3_stmt* statement);
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    Statement& Bind(int index, std::int64_t value);
    Statement& Bind(int index, int value) { return Bind(index, static_cast<std::int64_t>(value)); }
    Statement& Bind(int index, double value);
    Statement& Bind(int index, std::string_view utf8);
    Statement& Bind(int index, const std::string& utf8)
    {
        return Bind(index, std::string_view(utf8));
    }
    Statement& Bind(int index, const char* utf8) { return Bind(index, std::string_view(utf8)); }
    Statement& Bind(int index, Blob bytes);
    Statement& Bind(int index, std::nullopt_t);
    template <class T>
    Statement& Bind(int index, const std::optional<T>& value)
    {
        return value ? Bind(index, *value) : Bind(index, std::nullopt);
    }
    // Binds the values to the parameters 1, 2, 3, ... in order.
    template <class... T>
    Statement& BindAll(const T&... values)
    {
        int index = 1;
        (Bind(index++, values), ...);
        return *this;
    }

    // The next row: true when there is one to read, false when the statement is done.
    bool Step();
    // Steps to the end and resets the statement (its parameters stay bound), for statements
    // that change rows.
    void Run();
    // Back to the start, every parameter NULL again.
    Statement& Reset();

    int ColumnCount() const;
    bool IsNull(int column) const;
    std::int64_t Int64(int column) const;
    int Int(int column) const;
    double Double(int column) const; // an INTEGER column reads as well
    std::string Text(int column) const;
    std::string Bytes(int column) const;
    std::optional<std::int64_t> OptionalInt64(int column) const;
    std::optional<int> OptionalInt(int column) const;
    std::optional<double> OptionalDouble(int column) const;
    std::optional<std::string> OptionalText(int column) const;

private:
    void Check(int code) const;
    [[noreturn]] void WrongColumn(int column, const char* wanted) const;

    const detail::Connection* m_connection;
    sqlite3_stmt* m_statement;
};

} // namespace furlox::library
