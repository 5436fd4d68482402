#include "CloudSession.h"

#include "CloudApi.h"
#include "FileSyncManager.h"
#include "LibrarySettings.h"
#include "Login.h"
#include "Prompt.h"

CloudSession::CloudSession(QWidget* window) : QObject(window), window(window), token(LibrarySettings().cloudToken())
{
}

bool CloudSession::logIn()
{
    Login login(window);
    if (Prompt::exec(&login) != QDialog::Accepted) {
        return false;
    }
    token = login.getToken();
    return true;
}

void CloudSession::sync()
{
    if (!CloudApi::isValidToken(token)) {
        if (!logIn()) {
            return;
        }
        // The new token is used from now on: the next Sync neither logs in again nor opens a second window.
        delete manager;
        manager = nullptr;
    }
    if (!manager) {
        manager = new FileSyncManager(window);
        connect(manager, &FileSyncManager::tokenRejected, this, &CloudSession::loginAgain, Qt::QueuedConnection);
    } else {
        // One window: a new run starts in it (unless the last one is still going).
        manager->startRun();
    }
    manager->show();
    manager->raise();
}

void CloudSession::loginAgain()
{
    token.clear();
    LibrarySettings().removeCloudToken();
    if (!logIn() || !manager) {
        return;
    }
    if (manager->isRunning()) {
        connect(manager, &FileSyncManager::runEnded, manager, &FileSyncManager::startRun, Qt::SingleShotConnection);
    } else {
        manager->startRun();
    }
}
