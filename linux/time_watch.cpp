#include "linux/time_watch.h"

#include <glib-unix.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace {

void (*onChange)() = nullptr;

// A timer on the wall clock set for the far future, cancelled by the kernel
// whenever the wall clock is set (or resumes from sleep).
bool Arm(int fd) {
    itimerspec far{};
    far.it_value.tv_sec = INT32_MAX;
    return timerfd_settime(fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &far, nullptr) == 0;
}

gboolean OnTimerFd(gint fd, GIOCondition, gpointer) {
    std::uint64_t expirations = 0;
    const bool jumped = read(fd, &expirations, sizeof expirations) < 0 && errno == ECANCELED;
    Arm(fd);
    if (jumped && onChange) onChange();
    return G_SOURCE_CONTINUE;
}

} // namespace

bool WatchTimeChanges(void (*changed)()) {
    const int fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd < 0) return false;
    if (!Arm(fd)) {
        close(fd);
        return false;
    }
    onChange = changed;
    g_unix_fd_add(fd, G_IO_IN, OnTimerFd, nullptr);
    return true;
}
