#include "UpdateManager.h"

#include "ui_UpdateManager.h"

#include "LibrarySettings.h"
#include "Logging.h"
#include "NetworkAccess.h"
#include "NetworkReplies.h"
#include "NoticeLog.h"
#include "ServiceEndpoints.h"

#include <QApplication>
#include <QDateTime>
#include <QNetworkInformation>
#include <QNetworkReply>
#include <QPushButton>
#include <QTimer>

namespace {
const QString skippedKey = QStringLiteral("updates/skippedVersion");
const QString shownKey = QStringLiteral("updates/shownVersion");
const QString remindKey = QStringLiteral("updates/remindAfter");
} // namespace

UpdateManager::UpdateManager(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::UpdateManager>())
{
    ui->setupUi(this);
    // Only when the platform knows the network is down is nothing sent.
    if (QNetworkInformation::load(QNetworkInformation::Feature::Reachability)) {
        if (QNetworkInformation::instance()->reachability() == QNetworkInformation::Reachability::Disconnected) {
            NoticeLog::add(tr("The update check was skipped: there is no network."));
            QTimer::singleShot(0, this, [this] { Q_EMIT checked(false); });
            close();
            return;
        }
    }
    const QUrl url(ServiceEndpoints::updateCheck() + QStringLiteral("update.php?version=") + programVersion() +
                   QStringLiteral("&os=") + platformName());
    QNetworkReply* reply = NetworkAccess::get(NetworkReplies::request(url), this);
    NetworkReplies::capSize(reply, 4096);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { processUpdate(reply); });
}

UpdateManager::~UpdateManager() = default;

QString UpdateManager::platformName()
{
#if defined(Q_OS_MACOS)
    return QStringLiteral("Mac");
#elif defined(Q_OS_WIN)
    return QStringLiteral("Windows");
#elif defined(Q_OS_LINUX)
    return QStringLiteral("Linux");
#else
    return QStringLiteral("Undefined");
#endif
}

QString UpdateManager::shownText() const
{
    return ui->textBrowser->toPlainText();
}

void UpdateManager::processUpdate(QNetworkReply* reply)
{
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString failure = NetworkReplies::failureReason(reply);
    const QByteArray body = failure.isEmpty() && status == 200 ? reply->readAll() : QByteArray();
    const QString newVersion = QString::fromUtf8(body).trimmed();
    if (!failure.isEmpty()) {
        NoticeLog::add(tr("The update check failed: %1").arg(failure));
    } else if (status != 200) {
        NoticeLog::add(tr("The update check failed: the server answered %1.").arg(status));
    } else if (newVersion.isEmpty()) {
        NoticeLog::add(tr("Lirenta %1 is the newest version.").arg(programVersion()));
    } else {
        NoticeLog::add(tr("Lirenta %1 is available; this is %2.").arg(newVersion, programVersion()));
    }
    if (newVersion.isEmpty() || !isWanted(newVersion)) {
        close();
        Q_EMIT checked(false);
        return;
    }
    qCDebug(lcNet) << body << newVersion;
    // The version is text from outside: it is shown as text, never as mark-up.
    QString html = ui->textBrowser->toHtml();
    html.replace(QLatin1String("EXISTING_VERSION"), programVersion().toHtmlEscaped());
    html.replace(QLatin1String("NEW_VERSION"), newVersion.toHtmlEscaped());
    ui->textBrowser->setHtml(html);
    Q_EMIT checked(true);
    showWhenFree(newVersion);
}

bool UpdateManager::isWanted(const QString& version)
{
    LibrarySettings settings;
    if (settings.value(skippedKey).toString() == version) {
        return false;
    }
    return settings.value(shownKey).toString() != version ||
           QDateTime::currentDateTimeUtc() >= settings.value(remindKey).toDateTime();
}

void UpdateManager::showWhenFree(const QString& version)
{
    // A start-up question (a damaged library, say) is answered first.
    if (QApplication::activeModalWidget() && QApplication::activeModalWidget() != this) {
        QTimer::singleShot(500, this, [this, version] { showWhenFree(version); });
        return;
    }
    QPushButton* skip = ui->buttonBox->addButton(tr("Skip This Version"), QDialogButtonBox::RejectRole);
    ui->buttonBox->addButton(tr("Remind Me Later"), QDialogButtonBox::AcceptRole);
    connect(skip, &QPushButton::clicked, this, [version] { LibrarySettings().setValue(skippedKey, version); });
    // Closed any other way, it is as "Remind Me Later".
    LibrarySettings settings;
    settings.setValue(shownKey, version);
    settings.setValue(remindKey, QDateTime::currentDateTimeUtc().addDays(7));
    exec();
}
