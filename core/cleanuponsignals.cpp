// RemoveTemporaryFilesOnSignals() and the process's CleanupRegistry, apart
// from the rest of cleanupregistry.h: a program or plugin that never calls it
// links neither.
#include "cleanupregistry.h"

#include <csignal>

namespace {

CleanupRegistry processRegistry;

void removeAndDie(int signal)
{
    processRegistry.RemoveAll();
    // The handler was reset on entry: the signal now ends the process.
    ::raise(signal);
}

} // namespace

void RemoveTemporaryFilesOnSignals()
{
    CleanupRegistry::Use(&processRegistry);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old;
        if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;
        struct sigaction action = {};
        action.sa_handler = removeAndDie;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signal, &action, nullptr);
    }
}
