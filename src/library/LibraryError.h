#pragma once

#include <string>
#include <utility>

#include "base/Error.h"

namespace furlox::library {

// What went wrong with a library file, for the callers that act on it: a busy library is tried
// again later, a damaged one is moved aside, a newer one is left as it is.
enum class LibraryFault
{
    Busy,         // another connection held the lock past the busy timeout
    Damaged,      // not a database, or its pages or contents are not what they must be
    NewerVersion, // written by a newer version of the program: refused, never changed
    DiskFull,     // the disk (or the quota) is full
    ReadOnly,     // the file or its folder may not be written
    CannotOpen,   // the file cannot be opened at all (no folder, no access)
    Other,        // anything else (an I/O error, a fault of the program's own statements)
};

// A failed operation on the library. The message is the user's (CP932, naming the file); the
// detail is SQLite's own wording (English, UTF-8), for a log or a test, never the message.
class LibraryError : public Error
{
public:
    LibraryError(LibraryFault fault, const std::string& cp932Message, int sqliteCode = 0,
                 std::string detail = {})
        : Error(cp932Message), m_fault(fault), m_sqliteCode(sqliteCode), m_detail(std::move(detail))
    {}

    LibraryFault Fault() const { return m_fault; }
    // SQLite's extended result code, 0 when the fault is the program's own finding.
    int SqliteCode() const { return m_sqliteCode; }
    const std::string& Detail() const { return m_detail; }

private:
    LibraryFault m_fault;
    int m_sqliteCode;
    std::string m_detail;
};

} // namespace furlox::library
