#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QLocalServer;
class QLockFile;

// One Lirenta per library. The first start takes a lock file in the data directory, held for
// the life of the process (a lock left by a process that died is taken over), and listens on a
// local socket there; a later start finds the lock taken and asks the owner, through the
// socket, to come to the front or to open its files, and ends.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString& dataDir, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only Lirenta on the library; false when another one runs and has
    // been asked to show itself, or to open the given files.
    bool claim(const QStringList& files = QStringList());
    QString socketName() const { return name; }

Q_SIGNALS:
    // Another start asked this one to show itself.
    void activationRequested();
    // Another start was given files to open.
    void filesRequested(const QStringList& files);

private:
    bool tellOwner(const QStringList& files) const;
    void listen();

    QString name;
    QString lockPath;
    std::unique_ptr<QLockFile> lock;
    QLocalServer* server = nullptr;
};
