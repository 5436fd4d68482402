#pragma once

#include <QCoreApplication>
#include <QMap>
#include <QMessageBox>
#include <QQueue>
#include <QStringList>

#include <functional>

class QDialog;

// Every message box the program shows goes through here, so tests can answer them in
// advance instead of blocking on a modal dialog.
class Prompt
{
    Q_DECLARE_TR_FUNCTIONS(Prompt)

public:
    static QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                           const QString& text, QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                                           const QString& informativeText = QString(),
                                           const QString& detailedText = QString(),
                                           const QMap<QMessageBox::StandardButton, QString>& buttonTexts = {});
    // A question with a second, smaller line of explanation under the main text.
    static QMessageBox::StandardButton confirm(QWidget* parent, const QString& title, const QString& text,
                                               const QString& informativeText, QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton);
    static QMessageBox::StandardButton question(QWidget* parent, const QString& title, const QString& text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Yes |
                                                                                       QMessageBox::No,
                                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static void information(QWidget* parent, const QString& title, const QString& text);
    // A question answered with a button named for what happens (`proceedText`) or Cancel, the
    // default; true for the first. A scripted answer of Yes stands for it.
    static bool proceed(QWidget* parent, const QString& title, const QString& text, const QString& proceedText);
    // The question asked before items are deleted from the library; true for Yes.
    static bool confirmDelete(QWidget* parent, const QStringList& titles = QStringList());
    static void about(QWidget* parent, const QString& title, const QString& text);
    static void warning(QWidget* parent, const QString& title, const QString& text);
    static void critical(QWidget* parent, const QString& title, const QString& text);

    // File and folder choosers; an empty string when the user cancels.
    static QString openFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter);
    static QString existingDirectory(QWidget* parent, const QString& caption, const QString& dir);
    // A password typed in a box that hides it; an empty string when the user cancels.
    static QString password(QWidget* parent, const QString& title, const QString& label);
    // Runs a dialog of the program's own modally (the login, say); its result code.
    static int exec(QDialog* dialog);
    // The widget a dialog for `parent` centres on: the nearest one on screen.
    static QWidget* shownOwner(QWidget* parent);
    // One of several items; its index, or -1 when the user cancels.
    static int chooseItem(QWidget* parent, const QString& title, const QString& label, const QStringList& items);

    // The session ends (a signal from outside): the question on screen closes, and every later
    // one answers at once with its default, so whatever asks can wind up and return.
    static void endQuestions();
    static bool questionsEnded() { return s_ended; }

    // Test seam: when scripted, prompts are not shown; each takes the next queued answer
    // (or its default button) and its text is recorded.
    static void setScripted(bool scripted);
    static void queueAnswer(QMessageBox::StandardButton answer);
    // The next file or folder chooser returns this (an empty string cancels).
    static void queueFileName(const QString& path);
    // The next password box returns this (an empty string cancels).
    static void queueText(const QString& text);
    // The next chooser returns this index (-1 cancels); unqueued, the first item is taken.
    static void queueChoice(int index);
    // The next dialog run through exec() is shown and handed to `answer`, which fills it in and
    // presses its buttons as a user would; exec() returns once it is done. Unqueued, it is
    // rejected without being shown.
    static void queueDialogAnswer(const std::function<void(QDialog*)>& answer);
    static QStringList shownTexts();
    static void clearShownTexts();

private:
    static bool s_scripted;
    static bool s_ended;
    static QQueue<QMessageBox::StandardButton> s_answers;
    static QStringList s_shown;
    static QQueue<QString> s_fileNames;
    static QQueue<QString> s_texts;
    static QQueue<int> s_choices;
    static QQueue<std::function<void(QDialog*)>> s_dialogAnswers;
};
