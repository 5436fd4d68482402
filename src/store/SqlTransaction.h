#pragma once

#include <QString>

// A scoped transaction on the default connection that rolls back unless committed.
// Scopes nest: an inner one becomes a savepoint inside the outer transaction.
class SqlTransaction
{
public:
    SqlTransaction();
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    bool isActive() const { return m_active; }
    // Whether a transaction is open on the default connection.
    static bool anyOpen() { return s_depth > 0; }
    bool commit();
    void rollback();

private:
    QString m_name;
    bool m_active = false;
    static int s_depth;
};
