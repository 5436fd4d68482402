#include "SingleInstance.h"

#include "Logging.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

bool SingleInstance::claim(const QStringList& files)
{
    QLocalSocket other;
    other.connectToServer(name);
    if (other.waitForConnected(1000)) {
        other.write("show\n");
        for (const QString& file : files) {
            other.write("open " + QFileInfo(file).absoluteFilePath().toUtf8() + '\n');
        }
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
            // One request a line: "show", then "open <path>" for each file.
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                QStringList files;
                while (socket->canReadLine()) {
                    const QString line = QString::fromUtf8(socket->readLine()).chopped(1);
                    if (line == QLatin1String("show")) {
                        Q_EMIT activationRequested();
                    } else if (line.startsWith(QLatin1String("open "))) {
                        files << line.mid(5);
                    }
                }
                if (!files.isEmpty()) {
                    Q_EMIT filesRequested(files);
                }
            });
        }
    });
    return true;
}
