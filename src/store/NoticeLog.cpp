#include "NoticeLog.h"

#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>

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
        Q_UNUSED(context)
        NoticeLog::add(NoticeLog::asSentence(message));
    }
    if (previousHandler) {
        previousHandler(type, context, message);
    }
}
} // namespace

QString NoticeLog::asSentence(const QString& message)
{
    // Texts a log line quotes and escapes are shown as they are; of a path, the file's name.
    static const QRegularExpression quoted(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\""));
    QString text;
    qsizetype at = 0;
    QRegularExpressionMatchIterator it = quoted.globalMatch(message);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        QString inner = match.captured(1);
        inner.replace(QLatin1String("\\\""), QLatin1String("\"")).replace(QLatin1String("\\\\"), QLatin1String("\\"));
        if (inner.startsWith(QLatin1Char('/')) && !inner.endsWith(QLatin1Char('/'))) {
            inner = QFileInfo(inner).fileName();
        }
        text += message.mid(at, match.capturedStart() - at) + inner;
        at = match.capturedEnd();
    }
    text = (text + message.mid(at)).simplified();
    if (!text.isEmpty()) {
        text[0] = text.at(0).toUpper();
        if (!text.endsWith(QLatin1Char('.')) && !text.endsWith(QLatin1Char('!')) && !text.endsWith(QLatin1Char('?'))) {
            text += QLatin1Char('.');
        }
    }
    return text;
}

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
