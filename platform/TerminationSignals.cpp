#include "platform/TerminationSignals.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tavrik::platform {
namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGHUP, SIGINT};

std::atomic<int> pipeWriteEnd{-1};
std::array<struct sigaction, kSignals.size()> previousActions{};

void restoreDefaults() {
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    for (const int number : kSignals) {
        ::sigaction(number, &fallback, nullptr);
    }
}

extern "C" void noteSignal(int number) {
    const int saved = errno;
    // Only async-signal-safe calls here.
    restoreDefaults();
    const int fd = pipeWriteEnd.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(number);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals() {
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    readEnd_ = ends[0];
    writeEnd_ = ends[1];
    pipeWriteEnd.store(writeEnd_);
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], &action, &previousActions[i]);
    }
}

TerminationSignals::~TerminationSignals() {
    if (!valid()) {
        return;
    }
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], &previousActions[i], nullptr);
    }
    pipeWriteEnd.store(-1);
    ::close(readEnd_);
    ::close(writeEnd_);
}

int TerminationSignals::takeSignal() {
    unsigned char byte = 0;
    const ssize_t got = ::read(readEnd_, &byte, 1);
    return got == 1 ? byte : 0;
}

} // namespace tavrik::platform
