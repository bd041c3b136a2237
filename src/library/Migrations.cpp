#include "library/Migrations.h"

#include <stdexcept>

#include "base/Encoding.h"
#include "library/Database.h"
#include "library/LibraryError.h"
#include "library/Transaction.h"

namespace furlox::library {
namespace {

[[noreturn]] void Newer(const Database& database, int found, int known)
{
    throw LibraryError(LibraryFault::NewerVersion,
                       "ライブラリ "_sj + PathText(database.File()) +
                           " は新しい版のプログラムで作られています（形式 "_sj +
                           std::to_string(found) + "、この版が扱えるのは形式 "_sj +
                           std::to_string(known) +
                           " まで）。\r\nこの版では開けません。ファイルは変更していません。"_sj);
}

} // namespace

int Migrate(Database& database, std::span<const MigrationStep> steps)
{
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].version != static_cast<int>(i) + 1) {
            throw std::logic_error("the migration steps are not numbered 1, 2, 3, ...");
        }
    }
    const int latest = static_cast<int>(steps.size());
    const int found = database.UserVersion();
    if (found > latest) {
        Newer(database, found, latest);
    }
    for (const MigrationStep& step : steps) {
        if (step.version <= found) {
            continue;
        }
        Transaction transaction(database);
        // Another program may have migrated between the look above and this lock.
        const int now = database.UserVersion();
        if (now > latest) {
            Newer(database, now, latest);
        }
        if (now >= step.version) {
            continue;
        }
        if (!step.sql.empty()) {
            database.Execute(step.sql);
        }
        if (step.code) {
            step.code(database);
        }
        database.SetUserVersion(step.version);
        transaction.Commit();
    }
    return found;
}

} // namespace furlox::library
