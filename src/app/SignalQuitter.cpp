#include "SignalQuitter.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

int SignalQuitter::s_fds[2] = {-1, -1};

SignalQuitter::SignalQuitter(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, s_fds) != 0) {
        return;
    }
    notifier = new QSocketNotifier(s_fds[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SignalQuitter::readSignal);
    struct sigaction action = {};
    action.sa_handler = &SignalQuitter::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signalNumber, &action, nullptr);
    }
}

SignalQuitter::~SignalQuitter()
{
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        ::signal(signalNumber, SIG_DFL);
    }
    for (int& fd : s_fds) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

// Only async-signal-safe work here: one byte down the pipe.
void SignalQuitter::handle(int signalNumber)
{
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(s_fds[0], &byte, 1);
}

void SignalQuitter::readSignal()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(s_fds[1], &byte, 1);
    Q_EMIT quitRequested();
}
