#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (log-out, shutdown, Ctrl+C) into a signal on the GUI
// thread, so the program ends the way Quit ends it instead of dying mid-write.
class SignalQuitter : public QObject
{
    Q_OBJECT

public:
    explicit SignalQuitter(QObject* parent = nullptr);
    ~SignalQuitter() override;

Q_SIGNALS:
    void quitRequested();

private:
    static void handle(int signalNumber);
    void readSignal();

    static int s_fds[2];
    QSocketNotifier* notifier = nullptr;
};
