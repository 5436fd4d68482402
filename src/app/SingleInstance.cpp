#include "SingleInstance.h"

#include "Logging.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

SingleInstance::SingleInstance(const QString& dataDir, QObject* parent) : QObject(parent)
{
    // In the data directory itself when the path fits a socket address (about 100 bytes);
    // otherwise in the user's private runtime folder, named after the directory.
    const QString inData = QDir(dataDir).absoluteFilePath(QStringLiteral("lirenta.socket"));
    if (QFile::encodeName(inData).size() < 100) {
        name = inData;
    } else {
        const QByteArray key =
            QCryptographicHash::hash(QFile::encodeName(QDir(dataDir).absolutePath()), QCryptographicHash::Sha1)
                .toHex()
                .left(16);
        name = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/lirenta-") +
               QString::fromLatin1(key);
    }
}

bool SingleInstance::claim()
{
    QLocalSocket other;
    other.connectToServer(name);
    if (other.waitForConnected(1000)) {
        other.write("show\n");
        other.waitForBytesWritten(1000);
        other.disconnectFromServer();
        return false;
    }
    // Nobody answers: whatever is at the name is left from a run that ended without clearing up.
    QLocalServer::removeServer(name);
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        qCWarning(lcApp) << "cannot listen on" << name << server->errorString();
        return true; // the library still opens; a second start simply will not find this one
    }
    connect(server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            Q_EMIT activationRequested();
        }
    });
    return true;
}
