#pragma once

#include <QSettings>

// The settings store every part of the program shares.
class LibrarySettings : public QSettings
{
public:
    LibrarySettings() : QSettings(QStringLiteral("Quemark"), QStringLiteral("Lirenta")) {}
};
