#include "SignalCancel.h"

#include <csignal>

#include "CPassCancel.h"

namespace {
CPassCancel* g_cancel = nullptr;
volatile std::sig_atomic_t g_signal = 0;

extern "C" void OnCancelSignal(int signal)
{
    if (g_signal != 0) {
        // The second one: die of it, as if nobody handled it.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    g_signal = signal;
    g_cancel->Request();
}
} // namespace

void CancelOnSignals(CPassCancel& cancel)
{
    g_cancel = &cancel;
#ifdef _WIN32
    std::signal(SIGINT, OnCancelSignal);
    std::signal(SIGTERM, OnCancelSignal);
#else
    struct sigaction action {};
    action.sa_handler = OnCancelSignal;
    // One handler at a time, so the first signal is always the one that cancels.
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    // A bus call in progress goes on rather than failing with EINTR.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

int CancelSignal()
{
    return g_signal;
}
