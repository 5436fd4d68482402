#pragma once

class QSqlQuery;

// Runs prepared statements on the library; a statement that fails is logged with the
// driver's message, so callers only decide what the failure means for them.
class SqlStatement
{
public:
    static bool run(QSqlQuery& query);
};
