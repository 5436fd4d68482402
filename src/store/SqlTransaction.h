#pragma once

#include <QString>

// A scoped transaction on the default connection that rolls back unless committed.
// Scopes nest: an inner one becomes a savepoint inside the outer transaction.
class SqlTransaction
{
public:
    enum class Lock {
        Deferred,
        // The write lock is taken at the start, waiting for it if need be. For a transaction
        // that reads the search index file and then writes it while a second connection may be
        // writing there too: a deferred one would fail instead of waiting.
        Immediate,
    };

    explicit SqlTransaction(Lock lock = Lock::Deferred);
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    bool isActive() const { return m_active; }
    // Whether a transaction is open on the default connection.
    static bool anyOpen() { return depth() > 0; }
    bool commit();
    void rollback();

private:
    QString m_name;
    bool m_active = false;
    bool m_began = false; // an outermost immediate transaction: BEGIN ... COMMIT around the savepoint

    // How many scopes are open on the default connection. Kept on that connection's driver, so
    // it lives and ends with the connection it counts.
    static int depth();
    static void setDepth(int depth);
};
