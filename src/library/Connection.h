#pragma once

#include <filesystem>
#include <string_view>

#include "library/LibraryError.h"

struct sqlite3;

namespace furlox::library::detail {

// One open SQLite connection and the file it is on. Owned by a Database and never moved, so the
// statements and transactions made from it may keep a pointer while the Database moves.
struct Connection
{
    sqlite3* handle = nullptr;
    std::filesystem::path file;

    // Throws the LibraryError for SQLite's result code `code`, with the connection's own words
    // as the detail when it has them.
    [[noreturn]] void Fail(int code) const;
};

// The error for a result code of a file (also before a connection exists).
LibraryError ErrorFor(const std::filesystem::path& file, int code, std::string_view detail);

} // namespace furlox::library::detail
