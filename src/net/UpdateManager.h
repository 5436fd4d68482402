#pragma once

#include "Version.h"

#include <QDialog>

#include <memory>

namespace Ui {
class UpdateManager;
}

class QNetworkReply;

// Asks the update endpoint once whether a newer version exists and, if so, says which: once
// for each new version, again a week after "Remind Me Later", never after "Skip This
// Version", and never over another question: it waits until that one is answered.
class UpdateManager : public QDialog
{
    Q_OBJECT

public:
    explicit UpdateManager(QWidget* parent = nullptr);
    ~UpdateManager() override;

    static QString programVersion() { return QStringLiteral(LIRENTA_VERSION_LABEL); }
    static QString platformName();
    QString shownText() const;

Q_SIGNALS:
    void checked(bool updateShown);

public Q_SLOTS:
    void processUpdate(QNetworkReply* reply);

private:
    static bool isWanted(const QString& version);
    void showWhenFree(const QString& version);

    std::unique_ptr<Ui::UpdateManager> ui;
};
