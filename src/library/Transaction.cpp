#include "library/Transaction.h"

#include "library/Database.h"

namespace furlox::library {

Transaction::Transaction(Database& database, TransactionKind kind) : m_database(database)
{
    m_database.Execute(kind == TransactionKind::Immediate ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED");
}

Transaction::~Transaction()
{
    // SQLite may have rolled back already (a full disk, an I/O error); then there is nothing
    // left to undo.
    if (m_open && m_database.InTransaction()) {
        try {
            m_database.Execute("ROLLBACK");
        } catch (...) {
            // A destructor must not throw; a connection that cannot roll back is closed by
            // its owner, and SQLite drops the uncommitted pages when it closes.
        }
    }
}

void Transaction::Commit()
{
    m_database.Execute("COMMIT");
    m_open = false;
}

} // namespace furlox::library
