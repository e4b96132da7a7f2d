/* damage-stamps: when an X window is drawn on, seen from outside the program
 * that draws it. For SECONDS, prints one line for each time the window's
 * contents change: the system clock in milliseconds since the epoch (its
 * millisecond is the local clock's: time zones move whole minutes), and the
 * window's width and height then.
 *
 *   damage-stamps WINDOW SECONDS     (WINDOW: decimal or 0x-hexadecimal id)
 *
 * Changes that come faster than they are read merge into one line. Exit
 * codes: 0 done, 1 no display or no DAMAGE extension, 2 bad command line. */
#include <errno.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

static long long now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: damage-stamps WINDOW SECONDS\n");
        return 2;
    }
    char* end;
    const Window window = strtoul(argv[1], &end, 0);
    const long seconds = strtol(argv[2], NULL, 10);
    if (*end || window == 0 || seconds <= 0) {
        fprintf(stderr, "damage-stamps: bad window or seconds\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    int event_base, error_base;
    if (!display || !XDamageQueryExtension(display, &event_base, &error_base)) {
        fprintf(stderr, "damage-stamps: no display or no DAMAGE extension\n");
        return 1;
    }
    /* Non-empty: one event when the window's damage goes from none to some;
     * subtracting it all after each event arms the next. */
    const Damage damage = XDamageCreate(display, window, XDamageReportNonEmpty);
    XSync(display, False);
    setvbuf(stdout, NULL, _IOLBF, 0);

    const long long deadline = now_ms() + seconds * 1000LL;
    struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
    for (long long left; (left = deadline - now_ms()) > 0;) {
        if (!XPending(display) && poll(&fd, 1, (int)left) < 0 && errno != EINTR) break;
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != event_base + XDamageNotify) continue;
            const long long stamp = now_ms();
            XDamageSubtract(display, damage, None, None);
            Window root;
            int x, y;
            unsigned width = 0, height = 0, border, depth;
            XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth);
            printf("%lld %u %u\n", stamp, width, height);
        }
    }
    XDamageDestroy(display, damage);
    XCloseDisplay(display);
    return 0;
}
