// The clock's pixels in memory the X server shares (MIT-SHM). A steady tick
// puts the columns it changed straight onto the window in one request: no
// paint cycle, no double buffer and no copy of the pixels through the socket,
// which at 20 frames a second cost more than drawing them.
#pragma once

#include <cstdint>
#include <memory>

#include <gdk/gdk.h>

class SharedImage {
  public:
    // A `size` x `size` image of 32-bit premultiplied BGRA pixels for windows
    // of `visual` (which must be 32 bits deep) on `display`; null when the
    // server shares no memory with this process (another machine's display,
    // the extension off, no segment to be had). The caller falls back to
    // painting through GTK.
    static std::unique_ptr<SharedImage> Make(GdkDisplay* display, GdkVisual* visual, std::int32_t size);
    ~SharedImage();
    SharedImage(const SharedImage&) = delete;
    SharedImage& operator=(const SharedImage&) = delete;

    std::uint8_t* Pixels() const;
    int Stride() const;

    // Puts the rectangle (x, y, width, height) of the image at the same place
    // of `window`, a realized window of the image's visual. False when the
    // window is not realized. The server reads the pixels when it gets to the
    // request and nobody waits for it: a tick that writes pixels a late server
    // has yet to read puts every pixel it wrote again straight after, so the
    // window always ends with the last frame.
    bool Put(GdkWindow* window, int x, int y, int width, int height);

    struct State;

  private:
    explicit SharedImage(std::unique_ptr<State> state);
    std::unique_ptr<State> state;
};
