#pragma once

#include <QLocale>

// The program's texts in the user's language: Lirenta's own translation (built in) and Qt's
// (for the standard buttons and dialogs, where the system has it). English needs neither.
class Translations
{
public:
    // True when Lirenta's own translation for the locale was found and installed.
    static bool install(const QLocale& locale);
    static void uninstall();
};
