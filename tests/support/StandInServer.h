#pragma once

#include <QProcess>
#include <QString>
#include <QUrl>

// Starts one of the stand-in servers of services/ on 127.0.0.1 and a free port, and stops it
// when it goes.
class StandInServer
{
public:
    // name: the executable under the build's services folder, e.g. "googlebooks-standin".
    explicit StandInServer(const QString& name, const QStringList& arguments = {});
    ~StandInServer();

    bool isRunning() const { return !url.isEmpty(); }
    // The address the server printed when it started listening.
    QUrl address() const { return url; }
    // The requests it received, as it lists them at /standin/requests.
    QStringList requests() const;

private:
    QProcess process;
    QUrl url;
};
