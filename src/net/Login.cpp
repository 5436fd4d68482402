#include "Login.h"

#include "ui_Login.h"

#include "CloudApi.h"
#include "LibrarySettings.h"
#include "Logging.h"
#include "NetworkAccess.h"
#include "NetworkReplies.h"

#include <QFile>
#include <QNetworkReply>
#include <QScreen>

Login::Login(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::Login>())
{
    ui->setupUi(this);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - QPoint(width() / 2, height() / 2));
    }
    LibrarySettings settings;
    guid = settings.guid();
    token = settings.cloudToken();
    if (CloudApi::isValidToken(token)) {
        validateToken();
    }
}

Login::~Login() = default;

void Login::send(const QUrl& url)
{
    QNetworkReply* reply = NetworkAccess::get(NetworkReplies::request(url), this);
    NetworkReplies::capSize(reply, NetworkReplies::maxJsonBytes);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { processToken(reply); });
}

void Login::authToken()
{
    send(CloudApi::endpoint(
        "upload/token/",
        {{"guid", guid}, {"username", ui->loginText->text()}, {"password", ui->passwordText->text()}}));
}

void Login::validateToken()
{
    qCDebug(lcNet) << "validate";
    send(CloudApi::endpoint("upload/token/", {{"token", token}}));
}

void Login::processToken(QNetworkReply* reply)
{
    reply->deleteLater();
    const QString reason = NetworkReplies::failureReason(reply);
    // A refusal may come with an error status and still say why in its body ({"token": false}).
    const QString value =
        reply->property("tooLarge").isValid() ? QString() : CloudApi::tokenFromReply(reply->readAll());
    if (CloudApi::isValidToken(value)) {
        storeToken(value);
        accept();
    } else if (value == QLatin1String("reset")) {
        forgetToken(tr("The token has been reset, please attempt to login again."));
    } else if (value == QLatin1String("false")) {
        forgetToken(tr("Login was not accepted."));
    } else if (!reason.isEmpty()) {
        qCDebug(lcNet) << "token request failed:" << reason;
    }
}

void Login::storeToken(const QString& value)
{
    // A new valid token always replaces what was stored, a malformed stored value included.
    token = value;
    LibrarySettings settings;
    settings.setCloudToken(value);
    settings.sync();
    // The token opens the user's cloud account: only the owner may read the settings file.
    QFile::setPermissions(settings.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void Login::forgetToken(const QString& message)
{
    ui->textBrowser->setPlainText(message);
    token.clear();
    LibrarySettings settings;
    settings.removeCloudToken();
    if (!isVisible()) {
        open();
    }
}

void Login::on_btnLogin_clicked()
{
    authToken();
}

void Login::on_btnCancel_clicked()
{
    reject();
}

void Login::on_btnSubscribe_clicked()
{
}
