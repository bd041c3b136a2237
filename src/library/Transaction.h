#pragma once

namespace furlox::library {

class Database;

enum class TransactionKind
{
    // Takes the write lock at once (waiting up to the busy timeout): for every transaction that
    // writes, so that two writers never both read first and then find the other one's lock.
    Immediate,
    // Takes locks as the statements need them: for reading a consistent picture.
    Deferred,
};

// One transaction: everything between its start and Commit() happens whole or not at all.
// Rolled back when it goes without a commit (an exception, an early return).
class Transaction
{
public:
    explicit Transaction(Database& database, TransactionKind kind = TransactionKind::Immediate);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();

    void Commit();

private:
    Database& m_database;
    bool m_open = true;
};

} // namespace furlox::library
