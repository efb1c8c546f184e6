#include "app/TerminationWatcher.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vexa {

namespace {

// The write end of the self-pipe; a signal handler may only do async-signal-safe work.
int gSignalSocket[2] = {-1, -1};

void OnSignal(int number) {
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(gSignalSocket[0], &byte, 1);
}

} // namespace

TerminationWatcher::TerminationWatcher(QObject* parent) : QObject(parent) {
    if (gSignalSocket[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalSocket) != 0)
        return;
    ::fcntl(gSignalSocket[0], F_SETFL, O_NONBLOCK);
    notifier = new QSocketNotifier(gSignalSocket[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TerminationWatcher::OnReadable);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(number, &action, nullptr);
}

TerminationWatcher::~TerminationWatcher() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    for (const int number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(number, &action, nullptr);
}

void TerminationWatcher::OnReadable() {
    char byte = 0;
    if (::read(gSignalSocket[1], &byte, 1) == 1)
        emit terminationRequested(static_cast<int>(byte));
}

} // namespace vexa
