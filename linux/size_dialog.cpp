#include "linux/size_dialog.h"

#include <gtk/gtk.h>

#include "linux/clock.h"
#include "linux/globals.h"
#include "linux/gtk_clock_window.h"
#include "linux/surface.h"
#include "linux/text.h"
#include "placement/dpi.h"
#include "placement/size_model.h"
#include "settings/settings.h"

namespace {

constexpr wchar_t DIALOG_TITLE[] = L"Velmor Clock \u2014 Size";
constexpr char HINT[] = "Mouse wheel over the clock changes its size.\nHold Shift for smaller adjustments.";
constexpr int SPACING = 12; // between the controls and around them, in GDK's units
constexpr int SLIDER_WIDTH = 300;

bool settingSlider = false; // the program moves the slider: not a request of the user's

void SetSlider(int size) {
    settingSlider = true;
    gtk_range_set_value(GTK_RANGE(sizeSlider), size);
    settingSlider = false;
}

void OnSlider(GtkRange* range, gpointer) {
    if (!settingSlider) Resize(static_cast<int>(gtk_range_get_value(range) + 0.5));
}

void OnDefaultSize(GtkButton*, gpointer) {
    Resize(velmor::size::HUNDRED_PERCENT);
    SetSlider(cfg.Size); // the DPI limit or the monitor cap may have lowered it
}

void OnDone(GtkButton*, gpointer) {
    CloseSizeDialog();
}

gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer) {
    if (event->keyval != GDK_KEY_Escape) return FALSE;
    CloseSizeDialog();
    return TRUE;
}

void OnDestroy(GtkWidget*, gpointer) {
    sizeWindow = nullptr;
    sizeSlider = nullptr;
    sizeLabel = nullptr;
    SaveSettings();
}

} // namespace

void OpenSizeDialog() {
    if (sizeWindow) {
        gtk_window_present(GTK_WINDOW(sizeWindow));
        return;
    }
    sizeWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(sizeWindow);
    gtk_window_set_title(window, Utf8(DIALOG_TITLE).c_str());
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_icon_name(window, "velmor-clock");
    gtk_container_set_border_width(GTK_CONTAINER(window), SPACING);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, SPACING);
    sizeLabel = gtk_label_new(nullptr);
    gtk_label_set_xalign(GTK_LABEL(sizeLabel), 0);
    sizeSlider =
        gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, velmor::size::SMALLEST, LargestSize(dpi), 1);
    gtk_scale_set_draw_value(GTK_SCALE(sizeSlider), FALSE);
    gtk_range_set_increments(GTK_RANGE(sizeSlider), 1, 12);
    gtk_range_set_round_digits(GTK_RANGE(sizeSlider), 0);
    gtk_widget_set_size_request(sizeSlider, SLIDER_WIDTH, -1);
    atk_object_set_name(gtk_widget_get_accessible(sizeSlider), "Clock size");
    SetSlider(cfg.Size);
    GtkWidget* hint = gtk_label_new(HINT);
    gtk_label_set_xalign(GTK_LABEL(hint), 0);
    GtkWidget* buttons = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
    gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
    gtk_box_set_spacing(GTK_BOX(buttons), SPACING / 2);
    GtkWidget* defaultSize = gtk_button_new_with_label("Default size");
    GtkWidget* done = gtk_button_new_with_label("Done");
    gtk_container_add(GTK_CONTAINER(buttons), defaultSize);
    gtk_container_add(GTK_CONTAINER(buttons), done);
    for (GtkWidget* child : {sizeLabel, sizeSlider, hint, buttons})
        gtk_container_add(GTK_CONTAINER(box), child);
    gtk_container_add(GTK_CONTAINER(window), box);

    g_signal_connect(sizeSlider, "value-changed", G_CALLBACK(OnSlider), nullptr);
    g_signal_connect(defaultSize, "clicked", G_CALLBACK(OnDefaultSize), nullptr);
    g_signal_connect(done, "clicked", G_CALLBACK(OnDone), nullptr);
    g_signal_connect(sizeWindow, "key-press-event", G_CALLBACK(OnKey), nullptr);
    g_signal_connect(sizeWindow, "destroy", G_CALLBACK(OnDestroy), nullptr);
    UpdateLabel();

    // At the clock's top-left corner, inside the work area.
    gtk_widget_show_all(sizeWindow);
    int width = 0, height = 0;
    gtk_window_get_size(window, &width, &height);
    GtkClockWindow clock(clockWindow, cfg, dpi, sizeLabel);
    const ScreenRect rect = clock.Rect();
    const int scale = WindowScale(clockWindow);
    const ScreenPoint at = KeepInside({rect.left, rect.top}, std::int64_t{width} * scale,
                                      std::int64_t{height} * scale, clock.WorkArea(rect));
    gtk_window_move(window, at.x / scale, at.y / scale);
    gtk_widget_grab_focus(sizeSlider);
    gtk_window_present(window);
}

void CloseSizeDialog() {
    if (sizeWindow) gtk_widget_destroy(sizeWindow);
}

void SizeDialogDpiChanged() {
    if (!sizeSlider) return;
    settingSlider = true;
    gtk_range_set_range(GTK_RANGE(sizeSlider), velmor::size::SMALLEST, LargestSize(dpi));
    settingSlider = false;
    SetSlider(cfg.Size);
    UpdateLabel();
}
