#pragma once

#include <QCoreApplication>

class QWidget;

// The Preferences dialog with its pages, and the About and Credits boxes.
class Preferences
{
    Q_DECLARE_TR_FUNCTIONS(Preferences)

public:
    static void run(QWidget* parent);
    static void showAbout(QWidget* parent);
    static void showCredits(QWidget* parent);
};
