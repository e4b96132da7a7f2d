#include "linux/window.h"

#include <climits>
#include <cstdio>

#include "app/menu_items.h"
#include "linux/clock.h"
#include "linux/globals.h"
#include "linux/gtk_clock_window.h"
#include "linux/menu.h"
#include "linux/size_dialog.h"
#include "linux/surface.h"
#include "linux/time_watch.h"
#include "linux/timers.h"
#include "linux/tray.h"
#include "linux/work_area_watch.h"
#include "placement/dpi.h"
#include "placement/schedule.h"
#include "placement/size_model.h"
#include "placement/wheel_step.h"
#include "settings/settings.h"

namespace {

constexpr char TITLE[] = "Velmor Clock";
constexpr int UNPLACED_POSITION = 100; // where a clock never placed starts, before it is centred
constexpr int WHEEL_NOTCH = 120;       // one notch of a wheel, as the placement rules count it

bool renderFailed = false; // the failure is written once per run

// The tick: redraw unless hidden. A resize animation draws its own frames and
// schedules the tick again when it ends; a stepping tick re-arms for just past
// the next whole second.
void OnTick() {
    if (resizeMotion.active) return;
    if (!Tick(visible) && !renderFailed) {
        renderFailed = true;
        std::fputs("Velmor Clock: rendering failed.\n", stderr);
    }
}

// The window manager's move is over once the left button is up: keep the clock
// on its monitor and save its place.
void OnDragPoll() {
    GdkDisplay* display = gtk_widget_get_display(clockWindow);
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
    GdkModifierType buttons{};
    gdk_window_get_device_position(gdk_screen_get_root_window(gtk_widget_get_screen(clockWindow)), pointer,
                                   nullptr, nullptr, &buttons);
    if (buttons & GDK_BUTTON1_MASK) return;
    StopTimer(DRAG_TIMER);
    int x = 0, y = 0;
    gtk_window_get_position(GTK_WINDOW(clockWindow), &x, &y);
    const int scale = WindowScale(clockWindow);
    NoteClockPosition({x * scale, y * scale});
    KeepVisible(false);
    SaveSettings();
    RememberPlace();
}

void OnTimer(int id) {
    switch (id) {
    case TICK_TIMER:
        OnTick();
        break;
    case SAVE_TIMER: // a wheel or dialog resize is over: the user's size and place
        StopTimer(SAVE_TIMER);
        SaveSettings();
        RememberPlace();
        break;
    case LAYOUT_TIMER:
        WatchLayout();
        break;
    case ANIMATION_TIMER:
        TickResize();
        break;
    case DRAG_TIMER:
        OnDragPoll();
        break;
    default:
        break;
    }
}

// The left button grabs the clock: the window manager moves it.
void OnLeftButton(GtkWidget* window, const GdkEventButton* event) {
    FinishResize();
    if (cfg.LockPosition) return;
    UserPlacing();
    gtk_window_begin_move_drag(GTK_WINDOW(window), static_cast<gint>(event->button),
                               static_cast<gint>(event->x_root), static_cast<gint>(event->y_root),
                               event->time);
    StartTimer(DRAG_TIMER, DRAG_POLL_MS);
}

gboolean OnButtonPress(GtkWidget* window, GdkEventButton* event, gpointer) {
    if (event->type != GDK_BUTTON_PRESS) return TRUE; // double and triple clicks: nothing more
    if (event->button == GDK_BUTTON_PRIMARY) OnLeftButton(window, event);
    if (event->button == GDK_BUTTON_SECONDARY) PopUpMenu(reinterpret_cast<GdkEvent*>(event));
    return TRUE;
}

gboolean OnPopupMenu(GtkWidget*, gpointer) {
    PopUpMenu(nullptr); // the menu key or Shift+F10
    return TRUE;
}

gboolean OnScroll(GtkWidget*, GdkEventScroll* event, gpointer) {
    static double wheel = 0.0; // fraction of a step carried to the next event
    int delta = 0;
    if (event->direction == GDK_SCROLL_UP) delta = WHEEL_NOTCH;
    if (event->direction == GDK_SCROLL_DOWN) delta = -WHEEL_NOTCH;
    if (event->direction == GDK_SCROLL_SMOOTH) delta = static_cast<int>(-event->delta_y * WHEEL_NOTCH);
    const int step = WheelStep(wheel, delta, (event->state & GDK_SHIFT_MASK) != 0);
    if (step != 0) Resize(cfg.Size + step);
    return TRUE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer) {
    CloseClock();
    return TRUE;
}

void OnDestroy(GtkWidget*, gpointer) {
    CloseSizeDialog();
    SaveSettings();
    PositionSaved();
    RemoveTray();
    StopAllTimers();
    clockWindow = nullptr;
    g_application_quit(G_APPLICATION(application));
}

// The clock moved to a monitor of another scale, or the scale changed: the
// size setting is clamped for it for good.
void OnScaleChanged(GtkWidget* window, GParamSpec*, gpointer) {
    StopResize();
    dpi = velmor::size::REFERENCE_DPI * static_cast<unsigned>(WindowScale(window));
    cfg.Size = ClampSize(cfg.Size, dpi);
    ForgetShownFrame();
    KeepVisible(false);
    Schedule();
    SaveSettings();
    SizeDialogDpiChanged();
}

// Monitors came, went or changed: keep the clock on one.
void OnMonitorsChanged(GdkScreen*, gpointer) {
    NoticeLayoutChange();
    StopResize();
    ForgetShownFrame();
    KeepVisible(false);
    Schedule();
}

// A panel came, went or moved: pull the clock back inside the new work area.
void OnWorkAreaChanged() {
    if (!clockWindow) return;
    NoticeLayoutChange();
    KeepVisible(false);
    Render();
}

// The system time was set, or the machine woke up: the hands show the new
// time now, and a stepping tick steps on the new seconds.
void OnTimeChanged() {
    if (!clockWindow) return;
    FinishResize();
    ForgetShownFrame();
    Render();
    Schedule();
    NoticeLayoutChange(); // a resume may come with other monitors
}

void OnCompositedChanged(GdkScreen*, gpointer) {
    ApplyShape(clockWindow, WindowScale(clockWindow));
    ForgetShownFrame();
    Render();
}

void OnResponse(GtkDialog* dialog, gint, gpointer) {
    gtk_widget_destroy(GTK_WIDGET(dialog));
}

GtkWidget* MakeWindow() {
    GtkWidget* widget = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(widget);
    gtk_window_set_title(window, TITLE);
    gtk_window_set_icon_name(window, "velmor-clock");
    gtk_window_set_decorated(window, FALSE);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_skip_taskbar_hint(window, TRUE);
    gtk_window_set_skip_pager_hint(window, TRUE);
    gtk_window_set_focus_on_map(window, FALSE);
    gtk_window_stick(window);
    gtk_window_set_keep_above(window, cfg.AlwaysOnTop);
    GdkScreen* screen = gtk_widget_get_screen(widget);
    if (GdkVisual* rgba = gdk_screen_get_rgba_visual(screen)) gtk_widget_set_visual(widget, rgba);
    gtk_widget_set_app_paintable(widget, TRUE);
    gtk_widget_add_events(widget, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_SCROLL_MASK);

    g_signal_connect(widget, "draw", G_CALLBACK(PaintFrame), nullptr);
    g_signal_connect(widget, "button-press-event", G_CALLBACK(OnButtonPress), nullptr);
    g_signal_connect(widget, "popup-menu", G_CALLBACK(OnPopupMenu), nullptr);
    g_signal_connect(widget, "scroll-event", G_CALLBACK(OnScroll), nullptr);
    g_signal_connect(widget, "delete-event", G_CALLBACK(OnDelete), nullptr);
    g_signal_connect(widget, "destroy", G_CALLBACK(OnDestroy), nullptr);
    g_signal_connect(widget, "notify::scale-factor", G_CALLBACK(OnScaleChanged), nullptr);
    g_signal_connect(screen, "monitors-changed", G_CALLBACK(OnMonitorsChanged), nullptr);
    g_signal_connect(screen, "composited-changed", G_CALLBACK(OnCompositedChanged), nullptr);
    return widget;
}

} // namespace

int OpenClock() {
    SetTimerHandler(OnTimer);
    clockWindow = MakeWindow();
    if (!clockWindow) return EXIT_NO_WINDOW;
    gtk_application_add_window(application, GTK_WINDOW(clockWindow));

    const int scale = WindowScale(clockWindow);
    dpi = velmor::size::REFERENCE_DPI * static_cast<unsigned>(scale);
    cfg.Size = ClampSize(cfg.Size, dpi);
    // Each coordinate on its own: a saved X with no saved Y still starts at X.
    NoteClockPosition(
        {cfg.X == INT_MIN ? UNPLACED_POSITION : cfg.X, cfg.Y == INT_MIN ? UNPLACED_POSITION : cfg.Y});

    // A clock that was never placed is centred on its monitor; a placed one is
    // only pulled back inside it.
    KeepVisible(cfg.X == INT_MIN);
    // The place the user had under this layout, when the settings' position
    // was saved under another one.
    StartLayoutMemory();
    if (!Render()) {
        ShowMessage("The clock could not be displayed. Please restart the application.", GTK_MESSAGE_ERROR);
        gtk_widget_destroy(clockWindow);
        return EXIT_NO_FIRST_FRAME;
    }
    gtk_widget_show(clockWindow);
    AddTray();
    Schedule();
    WatchTimeChanges(OnTimeChanged);
    WatchWorkArea(gtk_widget_get_screen(clockWindow), OnWorkAreaChanged);
    return 0;
}

void CloseClock() {
    if (!clockWindow) return;
    FinishResize();
    gtk_widget_destroy(clockWindow);
}

void ShowMessage(const std::string& text, GtkMessageType type) {
    GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_DESTROY_WITH_PARENT, type, GTK_BUTTONS_OK,
                                            "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), TITLE);
    gtk_window_set_icon_name(GTK_WINDOW(box), "velmor-clock");
    gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER); // owned by nothing: the screen's centre
    if (application) gtk_application_add_window(application, GTK_WINDOW(box));
    g_signal_connect(box, "response", G_CALLBACK(OnResponse), nullptr);
    gtk_widget_show(box);
}
