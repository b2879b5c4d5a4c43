#include "VoStop.h"

#include "VoConnection.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <ibase.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};

// Runs in a signal handler or in the engine's own thread: only a write to the pipe.
void Notify() {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

void OnSignal(int) {
    Notify();
}

int OnEngineShutdown(const int reason, const int mask, void *) {
    if (mask == fb_shut_confirmation && reason == fb_shutrsn_signal) {
        Notify();
        return 1; // the engine stays up; the program stops itself
    }
    return 0;
}

} // namespace

void VoInstallCleanStop() {
    if (g_pipe[0] >= 0)
        return;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char buffer[16];
        while (::read(g_pipe[0], buffer, sizeof buffer) > 0) {
        }
        VoStopCleanly(0);
    });
    struct sigaction action = {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    // The client library reads its configuration at its first use, which this call is.
    VoPrepareEmbeddedEngine();
    ISC_STATUS_ARRAY status = {};
    fb_shutdown_callback(status, &OnEngineShutdown, fb_shut_confirmation, nullptr);
}

void VoStopCleanly(int exitCode) {
    static bool stopping = false;
    if (stopping)
        return;
    stopping = true;
    VoCancelAllPendingEdits();
    for (TVoSQLConnection *connection : VoAllConnections())
        connection->Close();
    // Not back to the event loop: a dialog waiting for the user, or a job between two of its steps,
    // would go on working on a closed connection, and a stop before the main loop runs would be lost.
    fb_shutdown(2000, fb_shutrsn_app_stopped);
    std::_Exit(exitCode);
}
