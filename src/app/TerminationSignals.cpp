#include "app/TerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

#include <QCoreApplication>
#include <QSocketNotifier>

namespace {
int g_signalPipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int signalNumber)
{
    const char byte = static_cast<char>(signalNumber);
    // Nothing else is async-signal-safe here; a full pipe only drops a repeat.
    [[maybe_unused]] ssize_t written = ::write(g_signalPipe[0], &byte, 1);
}
}  // namespace

void InstallTerminationHandler(std::function<void()> onTerminate)
{
    if (g_signalPipe[0] != -1 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    for (int fd : g_signalPipe) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }

    // Owned by the application object, which outlives the message loop.
    auto* notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [callback = std::move(onTerminate)] {
                         char buffer[16];
                         while (::read(g_signalPipe[1], buffer, sizeof buffer) > 0) {
                         }
                         callback();
                     });

    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signalNumber, &action, nullptr);
}
