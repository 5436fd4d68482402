#include "ReaderRequestGuard.h"

#include "LenientChapter.h"
#include "Logging.h"

#include <QFileInfo>
#include <QUrl>

ReaderRequestGuard::ReaderRequestGuard(QObject* parent) : QWebEngineUrlRequestInterceptor(parent)
{
}

void ReaderRequestGuard::setRoot(const QString& folder)
{
    root = QFileInfo(folder).absoluteFilePath(); // the book may not be unpacked yet
}

bool ReaderRequestGuard::allows(const QUrl& url) const
{
    if (url.scheme() == QLatin1String("data")) {
        return true;
    }
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    if (!url.isLocalFile() || canonicalRoot.isEmpty()) {
        return false;
    }
    // Canonical paths: neither ".." nor a link inside the book leads out of it.
    const QString path = QFileInfo(url.toLocalFile()).canonicalFilePath();
    return !path.isEmpty() && (path == canonicalRoot || path.startsWith(canonicalRoot + QLatin1Char('/')));
}

void ReaderRequestGuard::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    if (!allows(info.requestUrl())) {
        qCDebug(lcTools) << "reader blocked" << info.requestUrl();
        info.block(true);
        return;
    }
    // A link into a chapter that is not well-formed XML goes to its HTML copy.
    if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame && info.requestUrl().isLocalFile()) {
        const QString path = info.requestUrl().toLocalFile();
        const QString shown = LenientChapter::shownFile(path);
        if (shown != path) {
            QUrl url = QUrl::fromLocalFile(shown);
            url.setFragment(info.requestUrl().fragment());
            info.redirect(url);
        }
    }
}
