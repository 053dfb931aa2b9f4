#include "base/InterruptCleanup.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <limits.h>
#include <unistd.h>

namespace velmora {
namespace {

enum : int { kFree, kFilling, kHeld };

struct Entry {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};

// One per save that can be in progress at once; lock-free atomics, so the
// handler may read them.
Entry g_entries[32];
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void removeTemporariesAndRaise(int sig) {
    const int saved = errno;
    for (Entry& e : g_entries) {
        if (e.state.load() == kHeld) ::unlink(e.path);
    }
    errno = saved;
    // SA_RESETHAND put the default action back: the raised signal ends the
    // program once this handler returns, as the interrupt would have.
    ::raise(sig);
}

void installOnce() {
    static const bool installed = [] {
        for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction current {};
            if (::sigaction(sig, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) != 0 ||
                current.sa_handler != SIG_DFL) {
                continue;
            }
            struct sigaction action {};
            action.sa_handler = removeTemporariesAndRaise;
            ::sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESETHAND;
            ::sigaction(sig, &action, nullptr);
        }
        return true;
    }();
    (void)installed;
}

}  // namespace

int removeOnInterrupt(const char* path) {
    if (std::strlen(path) >= PATH_MAX) return -1;
    installOnce();
    for (int i = 0; i < static_cast<int>(std::size(g_entries)); ++i) {
        int expected = kFree;
        if (!g_entries[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::strcpy(g_entries[i].path, path);
        g_entries[i].state.store(kHeld);
        return i;
    }
    return -1;
}

void forgetOnInterrupt(int slot) {
    if (slot >= 0 && slot < static_cast<int>(std::size(g_entries))) g_entries[slot].state.store(kFree);
}

}  // namespace velmora
