#include "SqlTransaction.h"

#include "Logging.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace {
const char* const depthProperty = "lirentaTransactionDepth";

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

int SqlTransaction::depth()
{
    const QSqlDriver* driver = QSqlDatabase::database(QSqlDatabase::defaultConnection, false).driver();
    return driver ? driver->property(depthProperty).toInt() : 0;
}

void SqlTransaction::setDepth(int depth)
{
    if (QSqlDriver* driver = QSqlDatabase::database(QSqlDatabase::defaultConnection, false).driver()) {
        driver->setProperty(depthProperty, depth);
    }
}

SqlTransaction::SqlTransaction(Lock lock) : m_name(QStringLiteral("lirenta_%1").arg(depth() + 1))
{
    if (lock == Lock::Immediate && depth() == 0) {
        m_began = run(QStringLiteral("BEGIN IMMEDIATE"));
        if (!m_began) {
            return;
        }
    }
    m_active = run(QStringLiteral("SAVEPOINT ") + m_name);
    if (m_active) {
        setDepth(depth() + 1);
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
    setDepth(depth() - 1);
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
    if (m_began || (!undone && depth() == 1)) {
        run(QStringLiteral("ROLLBACK"));
        m_began = false;
    }
    m_active = false;
    setDepth(depth() - 1);
}
