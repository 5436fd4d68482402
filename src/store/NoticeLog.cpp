#include "NoticeLog.h"

#include <QMutex>
#include <QMutexLocker>

namespace {
const int keptNotices = 300;

QMutex& guard()
{
    static QMutex mutex;
    return mutex;
}

QList<NoticeLog::Notice>& kept()
{
    static QList<NoticeLog::Notice> list;
    return list;
}

QtMessageHandler previousHandler = nullptr;

void keepWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) {
        const QString category = QString::fromLatin1(context.category ? context.category : "");
        NoticeLog::add(category.isEmpty() || category == QLatin1String("default")
                           ? message
                           : category + QStringLiteral(": ") + message);
    }
    if (previousHandler) {
        previousHandler(type, context, message);
    }
}
} // namespace

void NoticeLog::add(const QString& text)
{
    QMutexLocker lock(&guard());
    kept().append({QDateTime::currentDateTime(), text});
    if (kept().size() > keptNotices) {
        kept().removeFirst();
    }
}

QList<NoticeLog::Notice> NoticeLog::notices()
{
    QMutexLocker lock(&guard());
    return kept();
}

void NoticeLog::clear()
{
    QMutexLocker lock(&guard());
    kept().clear();
}

void NoticeLog::catchWarnings()
{
    static bool installed = false;
    if (!installed) {
        installed = true;
        previousHandler = qInstallMessageHandler(keepWarnings);
    }
}
