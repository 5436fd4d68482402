#include "SqlTransaction.h"

#include "Logging.h"

#include <QSqlError>
#include <QSqlQuery>

int SqlTransaction::s_depth = 0;

namespace {
bool run(const QString& statement)
{
    QSqlQuery query;
    if (!query.exec(statement)) {
        qCWarning(lcStore) << statement << "failed:" << query.lastError().text();
        return false;
    }
    return true;
}
} // namespace

SqlTransaction::SqlTransaction(Lock lock) : m_name(QStringLiteral("lirenta_%1").arg(s_depth + 1))
{
    if (lock == Lock::Immediate && s_depth == 0) {
        m_began = run(QStringLiteral("BEGIN IMMEDIATE"));
        if (!m_began) {
            return;
        }
    }
    m_active = run(QStringLiteral("SAVEPOINT ") + m_name);
    if (m_active) {
        ++s_depth;
    } else if (m_began) {
        run(QStringLiteral("ROLLBACK"));
        m_began = false;
    }
}

SqlTransaction::~SqlTransaction()
{
    rollback();
}

bool SqlTransaction::commit()
{
    if (!m_active) {
        return false;
    }
    if (!run(QStringLiteral("RELEASE ") + m_name) || (m_began && !run(QStringLiteral("COMMIT")))) {
        rollback();
        return false;
    }
    m_active = false;
    m_began = false;
    --s_depth;
    return true;
}

void SqlTransaction::rollback()
{
    if (!m_active) {
        return;
    }
    const bool undone = run(QStringLiteral("ROLLBACK TO ") + m_name) && run(QStringLiteral("RELEASE ") + m_name);
    // The outermost scope never leaves a transaction open behind it: a savepoint that could
    // not be released (a damaged attached file) would swallow every later change.
    if (m_began || (!undone && s_depth == 1)) {
        run(QStringLiteral("ROLLBACK"));
        m_began = false;
    }
    m_active = false;
    --s_depth;
}
