#include "cli/Interrupt.h"

#include <csignal>

namespace cli {

namespace {

volatile std::sig_atomic_t requested = 0;

extern "C" void onInterrupt(int) {
    requested = 1;
}

}  // namespace

void catchInterrupt() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

bool interrupted() {
    return requested != 0;
}

void clearInterrupt() {
    requested = 0;
}

}  // namespace cli
