#pragma once

#include <QDateTime>

// Record times are whole seconds since the epoch, truncated.
class Timestamp
{
public:
    static quint32 now() { return quint32(QDateTime::currentMSecsSinceEpoch() / 1000); }
};
