#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class FileSyncManager;
class QWidget;

// The user's session with the cloud service: the login token, and the one sync window that
// uploads the library. A token the service refuses brings the login back, and the sync starts
// over once the user is in again.
class CloudSession : public QObject
{
    Q_OBJECT

public:
    explicit CloudSession(QWidget* window);

    // Logs in when there is no valid token, then shows the sync window (a new run in it).
    void sync();
    void loginAgain();
    FileSyncManager* syncManager() const { return manager; }

private:
    // Runs the login; true when the user is in.
    bool logIn();

    QWidget* window;
    QString token;
    QPointer<FileSyncManager> manager;
};
