#include "linux/shared_image.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <gdk/gdkx.h>

#include <X11/extensions/XShm.h>

struct SharedImage::State {
    Display* display = nullptr;
    XShmSegmentInfo segment{};
    XImage* image = nullptr;
    bool attached = false;
    GC gc = nullptr;
    Window gcWindow = 0; // the window `gc` was made for
};

namespace {

// Gives back whatever `state` holds, in the order it was taken.
void Release(SharedImage::State& s) {
    if (s.gc) XFreeGC(s.display, s.gc);
    if (s.attached) {
        XShmDetach(s.display, &s.segment);
        XSync(s.display, False); // the server lets go before the memory goes
    }
    if (s.segment.shmaddr && s.segment.shmaddr != reinterpret_cast<char*>(-1)) shmdt(s.segment.shmaddr);
    if (s.image) {
        s.image->data = nullptr; // the segment's, not Xlib's to free
        XDestroyImage(s.image);
    }
}

} // namespace

std::unique_ptr<SharedImage> SharedImage::Make(GdkDisplay* gdkDisplay, GdkVisual* visual, std::int32_t size) {
    if (!GDK_IS_X11_DISPLAY(gdkDisplay) || !visual || gdk_visual_get_depth(visual) != 32 || size <= 0)
        return nullptr;
    auto s = std::make_unique<State>();
    s->display = GDK_DISPLAY_XDISPLAY(gdkDisplay);
    if (!XShmQueryExtension(s->display)) return nullptr;
    s->image = XShmCreateImage(s->display, GDK_VISUAL_XVISUAL(visual), 32, ZPixmap, nullptr, &s->segment,
                               static_cast<unsigned>(size), static_cast<unsigned>(size));
    // Cairo's ARGB32 and the server's 32-bit pixels must be the same bytes.
    if (!s->image || s->image->bits_per_pixel != 32 || s->image->byte_order != LSBFirst ||
        s->image->bytes_per_line < 4 * size) {
        Release(*s);
        return nullptr;
    }
    s->segment.shmid = shmget(
        IPC_PRIVATE, static_cast<std::size_t>(s->image->bytes_per_line) * static_cast<std::size_t>(size),
        IPC_CREAT | 0600);
    if (s->segment.shmid < 0) {
        Release(*s);
        return nullptr;
    }
    s->segment.shmaddr = s->image->data = static_cast<char*>(shmat(s->segment.shmid, nullptr, 0));
    s->segment.readOnly = True;
    bool attached = s->segment.shmaddr != reinterpret_cast<char*>(-1);
    if (attached) {
        // A server on another machine accepts the extension but fails the
        // attach, later: wait for its answer.
        gdk_x11_display_error_trap_push(gdkDisplay);
        XShmAttach(s->display, &s->segment);
        XSync(s->display, False);
        attached = gdk_x11_display_error_trap_pop(gdkDisplay) == 0;
    }
    // Removed now, the segment lives until both sides let go, and no longer:
    // a crash leaves nothing behind.
    shmctl(s->segment.shmid, IPC_RMID, nullptr);
    s->attached = attached;
    if (!attached) {
        Release(*s);
        return nullptr;
    }
    return std::unique_ptr<SharedImage>(new SharedImage(std::move(s)));
}

SharedImage::SharedImage(std::unique_ptr<State> s) : state(std::move(s)) {}

SharedImage::~SharedImage() {
    Release(*state);
}

std::uint8_t* SharedImage::Pixels() const {
    return reinterpret_cast<std::uint8_t*>(state->image->data);
}

int SharedImage::Stride() const {
    return state->image->bytes_per_line;
}

bool SharedImage::Put(GdkWindow* window, int x, int y, int width, int height) {
    State& s = *state;
    if (!window || !GDK_IS_X11_WINDOW(window)) return false;
    const Window xid = GDK_WINDOW_XID(window);
    if (xid == 0) return false;
    if (s.gcWindow != xid) {
        if (s.gc) XFreeGC(s.display, s.gc);
        s.gc = XCreateGC(s.display, xid, 0, nullptr);
        s.gcWindow = xid;
    }
    XShmPutImage(s.display, xid, s.gc, s.image, x, y, x, y, static_cast<unsigned>(width),
                 static_cast<unsigned>(height), False);
    XFlush(s.display);
    return true;
}
