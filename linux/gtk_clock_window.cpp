#include "linux/gtk_clock_window.h"

#include "linux/monitors.h"
#include "linux/surface.h"
#include "linux/timers.h"
#include "placement/schedule.h"
#include "placement/size_label.h"
#include "placement/size_model.h"

int WindowScale(GtkWidget* window) {
    const int scale = window ? gtk_widget_get_scale_factor(window) : 1;
    return scale < 1 ? 1 : scale;
}

void ShowSizeLabel(GtkWidget* label, int size, unsigned dpi) {
    if (label) gtk_label_set_text(GTK_LABEL(label), SizeLabelText(size, dpi).c_str());
}

int GtkClockWindow::Scale() const {
    return WindowScale(window_);
}

ScreenRect GtkClockWindow::Rect() {
    return ClockRect();
}

ScreenRect GtkClockWindow::WorkArea(const ScreenRect& rect) {
    return WorkAreaNear(gtk_widget_get_display(window_), Scale(), rect);
}

std::uint64_t GtkClockWindow::Milliseconds() {
    return ::Milliseconds();
}

std::uint32_t GtkClockWindow::LocalTimeOfDay() {
    const velmor::Time now = LocalTime(); // the clock the frames are drawn for
    return static_cast<std::uint32_t>(((now.hour * 60 + now.minute) * 60 + now.second) * 1000 +
                                      now.millisecond);
}

void GtkClockWindow::StartTimer(int id, unsigned interval) {
    ::StartTimer(id, interval);
}

void GtkClockWindow::StopTimer(int id) {
    ::StopTimer(id);
}

void GtkClockWindow::SetTopmost(bool topmost) {
    gtk_window_set_keep_above(GTK_WINDOW(window_), topmost);
}

bool GtkClockWindow::Present(int width, ScreenPoint topLeft, bool fast) {
    return PresentFrame(window_, settings_, width, topLeft, fast, Scale());
}

void GtkClockWindow::SizeShown() {
    ShowSizeLabel(sizeLabel_, settings_.Size, dpi_);
}
