#pragma once

#include <functional>
#include <span>
#include <string_view>

namespace furlox::library {

class Database;

// One step of the schema: brings a database of version `version - 1` to `version`. Its SQL
// runs first, then its code, in one transaction with the new user_version.
struct MigrationStep
{
    int version;
    std::string_view sql;
    std::function<void(Database&)> code = {};
};

// Brings the database to the last step's version, step by step, each in a transaction of its
// own (a step that fails leaves the database at the version before it). The steps are
// numbered 1, 2, 3, ... without a gap. A database of a newer version than the last step is
// refused (LibraryFault::NewerVersion) and left unchanged. Returns the version it had.
int Migrate(Database& database, std::span<const MigrationStep> steps);

} // namespace furlox::library
