#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class Login;
}

class QNetworkReply;

// Signs in to the cloud service: exchanges login and password (with the installation's GUID)
// for a 64-character token kept in the settings, or confirms a stored token is still valid.
class Login : public QDialog
{
    Q_OBJECT

public:
    explicit Login(QWidget* parent = nullptr);
    ~Login() override;

    void authToken();
    void validateToken();
    QString getToken() const { return token; }

public Q_SLOTS:
    void processToken(QNetworkReply* reply);

private Q_SLOTS:
    void on_btnLogin_clicked();
    void on_btnCancel_clicked();
    void on_btnSubscribe_clicked();

private:
    void storeToken(const QString& value);
    void forgetToken(const QString& message);
    void send(const QUrl& url);

    std::unique_ptr<Ui::Login> ui;
    QString guid;
    QString token;
};
