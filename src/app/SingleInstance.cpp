#include "SingleInstance.h"

#include "Logging.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

SingleInstance::SingleInstance(const QString& dataDir, QObject* parent)
    : QObject(parent), lockPath(QDir(dataDir).absoluteFilePath(QStringLiteral("lirenta.lock")))
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

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim(const QStringList& files)
{
    lock = std::make_unique<QLockFile>(lockPath);
    lock->setStaleLockTime(0); // only a lock whose process is gone is stale, however old
    if (lock->tryLock(0)) {
        listen();
        return true;
    }
    if (lock->error() != QLockFile::LockFailedError) {
        // A data directory the lock cannot be written in (a read-only library): the socket alone
        // tells whether another start runs.
        qCWarning(lcApp) << "no lock file at" << lockPath << lock->error();
        lock.reset();
        if (tellOwner(files)) {
            return false;
        }
        listen();
        return true;
    }
    // The owner may have started a moment ago and not listen yet.
    QElapsedTimer waited;
    waited.start();
    while (!tellOwner(files)) {
        if (waited.elapsed() > 10000) {
            qCWarning(lcApp) << "another Lirenta holds the library but does not answer";
            return false;
        }
        QThread::msleep(50);
    }
    return false;
}

bool SingleInstance::tellOwner(const QStringList& files) const
{
    QLocalSocket other;
    other.connectToServer(name);
    if (!other.waitForConnected(1000)) {
        return false;
    }
    // Files to open, or else a request to show itself.
    if (files.isEmpty()) {
        other.write("show\n");
    }
    for (const QString& file : files) {
        other.write("open " + QFileInfo(file).absoluteFilePath().toUtf8() + '\n');
    }
    other.waitForBytesWritten(1000);
    other.disconnectFromServer();
    return true;
}

void SingleInstance::listen()
{
    // Whatever is at the name is left from a run that ended without clearing up.
    QLocalServer::removeServer(name);
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        qCWarning(lcApp) << "cannot listen on" << name << server->errorString();
        return; // the library still opens; a second start simply will not find this one
    }
    connect(server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // One request a line: "show", or "open <path>" for each file.
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
}
