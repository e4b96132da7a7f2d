#include "linux/surface.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <vector>

#include "linux/shared_image.h"
#include "presentation/alpha_shape.h"
#include "presentation/clock_renderer.h"
#include "presentation/frame_request.h"
#include "presentation/pixel_order.h"
#include "renderer/frame_limits.h"

namespace {

velmor::Image frame;                 // every live frame is drawn into it
cairo_surface_t* surface = nullptr;  // the frame as cairo's premultiplied ARGB32 (B, G, R, A bytes)
std::unique_ptr<SharedImage> shared; // the surface's pixels when the X server shares them
std::int32_t surfaceSize = 0;        // its edge in pixels; 0: none
bool holdsLast = false;              // the surface holds the last frame drawn
ScreenRect placed;                   // the window's rectangle in screen pixels
std::int32_t windowUnits = 0;        // its edge in GDK's units

// Division rounding toward minus infinity, for coordinates left of or above the origin.
std::int32_t FloorDiv(std::int32_t a, std::int32_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Shows the rectangle a steady tick rewrote (in screen pixels): put straight
// from the pixels the X server shares, else repainted by GTK.
void ShowRewritten(GtkWidget* window, const GdkRectangle& dirty, int scale) {
    if (shared && shared->Put(gtk_widget_get_window(window), dirty.x, dirty.y, dirty.width, dirty.height))
        return;
    // In GDK's units, widened to whole units.
    const int left = dirty.x / scale, top = dirty.y / scale;
    const int right = (dirty.x + dirty.width + scale - 1) / scale;
    const int bottom = (dirty.y + dirty.height + scale - 1) / scale;
    gtk_widget_queue_draw_area(window, left, top, right - left, bottom - top);
}

// The surface for `window`'s frames: over pixels the X server shares when it
// can, else cairo's own.
bool MakeSurface(GtkWidget* window, std::int32_t size) {
    FreeSurface();
    shared = SharedImage::Make(gtk_widget_get_display(window), gtk_widget_get_visual(window), size);
    surface = shared ? cairo_image_surface_create_for_data(shared->Pixels(), CAIRO_FORMAT_ARGB32, size, size,
                                                           shared->Stride())
                     : cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        FreeSurface();
        return false;
    }
    surfaceSize = size;
    return true;
}

} // namespace

velmor::Time LocalTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return {local.tm_hour, local.tm_min, local.tm_sec, static_cast<std::int32_t>(now.tv_nsec / 1000000)};
}

ScreenRect ClockRect() {
    return placed;
}

void NoteClockPosition(ScreenPoint topLeft) {
    const std::int64_t width = placed.Width();
    placed = {topLeft.x, topLeft.y, static_cast<std::int32_t>(topLeft.x + width),
              static_cast<std::int32_t>(topLeft.y + width)};
}

bool PresentFrame(GtkWidget* window, const Settings& settings, int size, ScreenPoint topLeft, bool fast,
                  int scale) {
    size = velmor::frameSize(size);
    if (!window || !renderer) return false;
    scale = scale < 1 ? 1 : scale;

    const velmor::Renderer::RowSpan changed =
        renderer->renderOver(frame, size, LocalTime(), FrameOptions(settings), fast);
    if (size != surfaceSize && !MakeSurface(window, size)) return false;

    cairo_surface_flush(surface);
    auto* bits = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    GdkRectangle dirty{0, 0, size, size};
    if (holdsLast) {
        const velmor::RowReach written = BgraStretchesFromImage(
            frame, bits, stride, size, renderer->changedColumns, changed.top, changed.bottom);
        dirty = written.first <= written.last
                    ? GdkRectangle{written.first, changed.top, written.last + 1 - written.first,
                                   changed.bottom - changed.top}
                    : GdkRectangle{0, 0, 0, 0};
    } else {
        BgraRowsFromImage(frame, bits, stride, size);
    }
    cairo_surface_mark_dirty(surface);
    holdsLast = true;

    const std::int32_t units = (size + scale - 1) / scale;
    const bool resized = units != windowUnits;
    if (resized) {
        gtk_widget_set_size_request(window, units, units);
        gtk_window_resize(GTK_WINDOW(window), units, units);
        windowUnits = units;
    }
    if (topLeft.x != placed.left || topLeft.y != placed.top || resized)
        gtk_window_move(GTK_WINDOW(window), FloorDiv(topLeft.x, scale), FloorDiv(topLeft.y, scale));
    placed = {topLeft.x, topLeft.y, topLeft.x + size, topLeft.y + size};
    if (resized) {
        ApplyShape(window, scale);
        gtk_widget_queue_draw(window);
    } else if (dirty.width > 0 && dirty.height > 0) {
        ShowRewritten(window, dirty, scale);
    }
    return true;
}

gboolean PaintFrame(GtkWidget* window, cairo_t* cr, gpointer) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    const int scale = gtk_widget_get_scale_factor(window);
    if (scale > 1) cairo_scale(cr, 1.0 / scale, 1.0 / scale); // one unit is one screen pixel
    if (surface)
        cairo_set_source_surface(cr, surface, 0, 0);
    else
        cairo_set_source_rgba(cr, 0, 0, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    return TRUE;
}

void ApplyShape(GtkWidget* window, int scale) {
    if (frame.empty()) return;
    std::vector<cairo_rectangle_int_t> rects;
    for (const ShapeRect& r : AlphaShape(frame, scale))
        rects.push_back({r.x, r.y, r.width, r.height});
    cairo_region_t* region = cairo_region_create_rectangles(rects.data(), static_cast<int>(rects.size()));
    // With a compositing manager the transparent pixels blend and only input
    // needs the shape; without one the window itself is cut to it.
    if (gdk_screen_is_composited(gtk_widget_get_screen(window)))
        gtk_widget_shape_combine_region(window, nullptr);
    else
        gtk_widget_shape_combine_region(window, region);
    gtk_widget_input_shape_combine_region(window, region);
    cairo_region_destroy(region);
}

void ForgetShownFrame() {
    holdsLast = false;
}

void FreeSurface() {
    if (surface) cairo_surface_destroy(surface);
    surface = nullptr;
    shared.reset(); // after the surface over its pixels
    surfaceSize = 0;
    holdsLast = false;
}
