// The half of the crash test that gets killed (LibraryCrashTest): writes to a library until
// it is stopped from outside.
//
//   furlox_library_writer DATABASE READY_FILE
//
// Commits one transaction of ten rows of kind "committed", then opens a second transaction and
// inserts rows of kind "half". Once the uncommitted rows fill more pages than the page cache
// holds, so that SQLite has written them to the file's write-ahead log, it makes READY_FILE and
// keeps inserting. It never commits the second transaction; a writer that is not killed within
// some seconds gives up with exit code 3 instead of filling the disk.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "base/Encoding.h"
#include "base/Error.h"
#include "base/Platform.h"
#include "library/Database.h"
#include "library/Transaction.h"

using namespace furlox;
using namespace furlox::library;

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments = platform::Utf8Arguments(argc, argv);
    if (arguments.size() != 3) {
        std::fputs("usage: furlox_library_writer DATABASE READY_FILE\n", stderr);
        return 2;
    }
    try {
        Database database =
            Database::Open(Utf8Path(arguments[1]), OpenOptions{.synchronous = Synchronous::Full});
        // A small page cache: the uncommitted rows must leave memory for the log early.
        database.Execute("PRAGMA cache_size = 16");
        database.Execute("CREATE TABLE IF NOT EXISTS rows (id INTEGER PRIMARY KEY, kind TEXT NOT "
                         "NULL, payload BLOB NOT NULL)");
        const std::string payload(1000, 'x');
        {
            Transaction committed(database);
            Statement insert = database.Prepare("INSERT INTO rows (kind, payload) VALUES (?, ?)");
            for (int i = 0; i < 10; ++i) {
                insert.BindAll("committed", Blob{payload}).Run();
            }
            committed.Commit();
        }
        Transaction half(database);
        Statement insert = database.Prepare("INSERT INTO rows (kind, payload) VALUES (?, ?)");
        for (int i = 0; i < 40000; ++i) {
            insert.BindAll("half", Blob{payload}).Run();
            if (i == 2000) {
                std::ofstream(Utf8Path(arguments[2])) << "ready\n";
            }
        }
        return 3;
    } catch (const Error& e) {
        std::fprintf(stderr, "furlox_library_writer: %s\n", ToUtf8(e.what()).c_str());
        return 1;
    }
}
