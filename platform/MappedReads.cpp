#include "platform/MappedReads.h"

#include <csignal>
#include <cstdint>
#include <mutex>

#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

thread_local bool tReading = false;   // within ReadMapped
thread_local bool tLostPage = false;  // and a page read there had no file behind it
struct sigaction gBefore;
uintptr_t gPageBytes = 4096;

void OnBusError(int signal, siginfo_t* info, void* context)
{
    if (tReading && info->si_code == BUS_ADRERR) {
        // A page of zeros in place of the one without a file: the faulting read runs again on
        // return and goes on; no jump out of the reader, which may hold locks and own memory.
        // Straight to the system, as a signal handler should: the C library's mmap is not one of
        // the calls safe in a handler.
        const uintptr_t page = reinterpret_cast<uintptr_t>(info->si_addr) & ~(gPageBytes - 1);
        if (::syscall(SYS_mmap, page, gPageBytes, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1,
                      0) == static_cast<long>(page)) {
            tLostPage = true;
            return;
        }
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
        gPageBytes = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &gBefore);
    });
}

}  // namespace

bool ReadMapped(const std::function<void()>& read)
{
    InstallOnce();
    const bool outerReading = tReading;
    const bool outerLost = tLostPage;
    tReading = true;
    tLostPage = false;
    read();
    const bool lost = tLostPage;
    tReading = outerReading;
    tLostPage = outerLost;
    return !lost;
}
