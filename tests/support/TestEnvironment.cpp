#include "TestEnvironment.h"

#include "Prompt.h"
#include "QtModules.h"

TestEnvironment::TestEnvironment() : dir(QDir::tempPath() + "/lirenta-test-XXXXXX")
{
    const QString base = dir.path();
    for (const char* sub : {"home", "config", "data", "cache", "runtime", "tmp"}) {
        QDir().mkpath(base + "/" + sub);
    }
    QFile::setPermissions(base + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", QFile::encodeName(base + "/home"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(base + "/config"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(base + "/data"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(base + "/cache"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(base + "/runtime"));
    qputenv("TMPDIR", QFile::encodeName(base + "/tmp"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Nothing leaves the machine: the update check goes to a closed loopback port.
    if (qEnvironmentVariableIsEmpty("LIRENTA_UPDATE_URL")) {
        qputenv("LIRENTA_UPDATE_URL", "http://127.0.0.1:9/");
    }
    QStandardPaths::setTestModeEnabled(true);
    Prompt::setScripted(true);
}

QString TestEnvironment::writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        return QString();
    }
    return path;
}

QString TestEnvironment::home() const
{
    return dir.path() + "/home";
}
