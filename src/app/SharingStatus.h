#pragma once

#include <QWidget>

class LibraryDatabase;
class LibraryServer;
class QLabel;

// Sharing the library on the local network, as the Sharing page of Preferences sets it: the
// server, and the status bar's word on it with the address to type and a button that turns
// it off. Never on for a library that may only be read.
class SharingStatus : public QWidget
{
    Q_OBJECT

public:
    SharingStatus(LibraryDatabase& library, QWidget* parent);
    ~SharingStatus() override;

    // Starts, restarts or stops the server as the settings say; the reason when it cannot start.
    Q_INVOKABLE QString apply();
    QString address() const;
    LibraryServer* server() const { return sharing; }

private:
    LibraryDatabase& library;
    LibraryServer* sharing;
    QLabel* label;
};
