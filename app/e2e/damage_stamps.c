/* damage-stamps: when an X window is drawn on and resized, seen from outside
 * the program that draws it. For SECONDS, prints a line for each time the
 * window's contents change and for each change of its size, in the order the
 * X server made them:
 *
 *   drawn MS READ-MS   the server drew on it at MS, on the system clock in
 *                      milliseconds since the epoch (its millisecond is the
 *                      local clock's: time zones move whole minutes); this
 *                      program read it at READ-MS (a busy machine may be slow
 *                      to run it)
 *   sized WIDTH HEIGHT the window took that size
 *
 *   damage-stamps WINDOW SECONDS     (WINDOW: decimal or 0x-hexadecimal id)
 *
 * The server stamps its events with its own millisecond clock; a property
 * change on a window of this program's own, timed on both clocks, gives the
 * difference. Drawings that come faster than they are read merge into one
 * line; sizes never do. Exit codes: 0 done, 1 no display or no DAMAGE
 * extension, 2 bad command line. */
#include <errno.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

static long long now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

/* The system clock's time minus the server's, from the property change with
 * the shortest round trip of a few. */
static long long server_offset(Display* display) {
    const Window own = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display, own, PropertyChangeMask);
    const Atom atom = XInternAtom(display, "DAMAGE_STAMPS_TIME", False);
    long long best_offset = 0, best_trip = -1;
    for (int k = 0; k < 8; ++k) {
        const long long before = now_ms();
        XChangeProperty(display, own, atom, XA_INTEGER, 32, PropModeReplace, (const unsigned char*)&k, 1);
        XEvent event;
        do
            XWindowEvent(display, own, PropertyChangeMask, &event);
        while (event.xproperty.atom != atom);
        const long long after = now_ms();
        if (best_trip < 0 || after - before < best_trip) {
            best_trip = after - before;
            best_offset = (before + after) / 2 - (long long)event.xproperty.time;
        }
    }
    XDestroyWindow(display, own);
    return best_offset;
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
    const long long offset = server_offset(display);
    XSelectInput(display, window, StructureNotifyMask);
    const Damage damage = XDamageCreate(display, window, XDamageReportNonEmpty);
    /* A new damage object reports the whole window once: not a redraw. */
    XSync(display, False);
    XDamageSubtract(display, damage, None, None);
    XSync(display, True);
    setvbuf(stdout, NULL, _IOLBF, 0);
    /* The server's clock is 32 bits of milliseconds: times are taken relative
     * to one read at the start, so its wrap does not matter. */
    const long long start = now_ms();
    const Time start_server = (Time)(start - offset);

    const long long deadline = now_ms() + seconds * 1000LL;
    struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
    for (long long left; (left = deadline - now_ms()) > 0;) {
        if (!XPending(display) && poll(&fd, 1, (int)left) < 0 && errno != EINTR) break;
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ConfigureNotify && event.xconfigure.window == window) {
                printf("sized %d %d\n", event.xconfigure.width, event.xconfigure.height);
                continue;
            }
            if (event.type != event_base + XDamageNotify) continue;
            const long long read = now_ms();
            const Time drawn = ((XDamageNotifyEvent*)&event)->timestamp;
            XDamageSubtract(display, damage, None, None);
            printf("drawn %lld %lld\n", start + (int)(unsigned)(drawn - start_server), read);
        }
    }
    XDamageDestroy(display, damage);
    XCloseDisplay(display);
    return 0;
}
