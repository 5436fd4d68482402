#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariantList>

// The settings store every part of the program shares, and the one list of what it keeps:
// each key with its type and its default (empty, 0 or none unless said).
class LibrarySettings : public QSettings
{
public:
    LibrarySettings() : QSettings(QStringLiteral("Quemark"), QStringLiteral("Lirenta")) {}

    // Where the database and covers live, and where captured pages go; both end with "/".
    QString dataDir() const { return text("dataDir"); }
    void setDataDir(const QString& path) { setValue("dataDir", path); }
    QString libraryDir() const { return text("libraryDir"); }
    void setLibraryDir(const QString& path) { setValue("libraryDir", path); }
    // The installation's identity towards the cloud service, "{...}".
    QString guid() const { return text("guid"); }
    void setGuid(const QString& value) { setValue("guid", value); }
    // The cloud service's address, written at every start.
    QString baseUrl() const { return text("baseUrl"); }
    void setBaseUrl(const QString& url) { setValue("baseUrl", url); }
    QString cloudToken() const { return text("cloudToken"); }
    void setCloudToken(const QString& token) { setValue("cloudToken", token); }
    void removeCloudToken() { remove("cloudToken"); }
    // The schema's version; 1 once the tables exist.
    int databaseVersion() const { return value("database/version", 0).toInt(); }
    void setDatabaseVersion(int version) { setValue("database/version", version); }

    // The identity of the library last opened, to tell its backups from other libraries'.
    QString libraryIdentity() const { return text("library/identity"); }
    void setLibraryIdentity(const QString& identity) { setValue("library/identity", identity); }

    // The file or folder the last file dialog chose.
    QString lastSelectDir() const { return text("lastSelectDir"); }
    void setLastSelectDir(const QString& path) { setValue("lastSelectDir", path); }
    // Newest first.
    QStringList recentFiles() const { return value("recentFiles").toStringList(); }
    void setRecentFiles(const QStringList& paths) { setValue("recentFiles", paths); }
    void clearRecentFiles() { remove("recentFiles"); }

    QString calibreDirPath() const { return text("calibreDirPath"); }
    QString calibreConvertorPath() const { return text("calibreConvertorPath"); }
    void setCalibre(const QString& directory, const QString& executable, const QString& convertor)
    {
        setValue("calibreDirPath", directory);
        setValue("calibreConvertorExe", "ebook-convert");
        setValue("calibreExePath", executable);
        setValue("calibreConvertorPath", convertor);
    }
    QString sigilDirPath() const { return text("sigilDirPath"); }
    void setSigil(const QString& directory, const QString& executable)
    {
        setValue("sigilDirPath", directory);
        setValue("sigilExePath", executable);
    }
    // Whether PDFs open in Lirenta's reader (the default) or the desktop's viewer.
    bool pdfInDesktopViewer() const { return value("reader/pdfInDesktopViewer", false).toBool(); }
    void setPdfInDesktopViewer(bool desktop) { setValue("reader/pdfInDesktopViewer", desktop); }
    // Sharing the library on the local network: off unless the user turns it on.
    bool sharingOn() const { return value("sharing/on", false).toBool(); }
    void setSharingOn(bool on) { setValue("sharing/on", on); }
    int sharingPort() const { return value("sharing/port", 8580).toInt(); }
    void setSharingPort(int port) { setValue("sharing/port", port); }
    // Public addresses too, not only the local network: off unless the user chose it.
    bool sharingPublic() const { return value("sharing/public", false).toBool(); }
    void setSharingPublic(bool on) { setValue("sharing/public", on); }
    QString sharingPassword() const { return text("sharing/password"); }
    void setSharingPassword(const QString& password) { setValue("sharing/password", password); }
    // The browser's start page; none means the built-in one.
    QString browserHomePage() const { return text("browser/homePage"); }

    QByteArray windowGeometry() const { return value("window/geometry").toByteArray(); }
    void setWindowGeometry(const QByteArray& state) { setValue("window/geometry", state); }
    QByteArray splitterState() const { return value("window/splitter").toByteArray(); }
    void setSplitterState(const QByteArray& state) { setValue("window/splitter", state); }
    QByteArray vSplitterState() const { return value("window/vSplitter").toByteArray(); }
    void setVSplitterState(const QByteArray& state) { setValue("window/vSplitter", state); }
    QVariantList columnWidths() const { return value("window/columnWidths").toList(); }
    void setColumnWidths(const QVariantList& widths) { setValue("window/columnWidths", widths); }
    // 0 the table, 1 the cover grid.
    int viewMode() const { return value("window/viewMode", 0).toInt(); }
    void setViewMode(int mode) { setValue("window/viewMode", mode); }

private:
    QString text(const char* key) const { return value(QLatin1String(key)).toString(); }
};
