#include "platform/MappedReads.h"

#include <csetjmp>
#include <csignal>
#include <mutex>

namespace {

// Where the thread's innermost ReadMapped goes back to when a mapped page cannot be read.
thread_local sigjmp_buf* tOnFault = nullptr;
struct sigaction gBefore;

void OnBusError(int signal, siginfo_t* info, void* context)
{
    if (sigjmp_buf* back = tOnFault) {
        // The handler runs with SIGBUS unblocked (SA_NODEFER), so the jump leaves the mask as it
        // was, and the guard need not save it: saving it would cost two calls into the system.
        siglongjmp(*back, 1);
    }
    // Not a read of ours: whoever handled the signal before, or the default, as if we were not here.
    if (gBefore.sa_flags & SA_SIGINFO) {
        gBefore.sa_sigaction(signal, info, context);
        return;
    }
    if (gBefore.sa_handler != SIG_IGN && gBefore.sa_handler != SIG_DFL) {
        gBefore.sa_handler(signal);
        return;
    }
    // The faulting instruction runs again on return and meets the default action.
    ::sigaction(SIGBUS, &gBefore, nullptr);
}

void InstallOnce()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &gBefore);
    });
}

}  // namespace

bool ReadMapped(const std::function<void()>& read)
{
    InstallOnce();
    sigjmp_buf back;
    sigjmp_buf* const outer = tOnFault;
    if (sigsetjmp(back, 0) != 0) {
        tOnFault = outer;
        return false;
    }
    tOnFault = &back;
    read();
    tOnFault = outer;
    return true;
}
