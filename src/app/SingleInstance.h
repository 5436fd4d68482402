#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

// One Lirenta per library: the first start listens on a local socket in the data directory;
// a later start with the same directory asks it to come to the front and ends.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString& dataDir, QObject* parent = nullptr);

    // True when this is the only Lirenta on the library (a stale socket of a crashed run is
    // taken over); false when another one runs and has been asked to show itself and to open
    // the given files.
    bool claim(const QStringList& files = QStringList());
    QString socketName() const { return name; }

Q_SIGNALS:
    // Another start asked this one to show itself.
    void activationRequested();
    // Another start was given files to open.
    void filesRequested(const QStringList& files);

private:
    QString name;
    QLocalServer* server = nullptr;
};
