// The Linux clock's entry: one clock per session (the application's D-Bus
// name; a second start shows the running clock), the built-in artwork and
// renderer, the settings, the clock window and the main loop.
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "linux/artwork.h"
#include "linux/autostart.h"
#include "linux/clock.h"
#include "linux/globals.h"
#include "linux/settings_store.h"
#include "linux/surface.h"
#include "linux/tray.h"
#include "linux/window.h"
#include "presentation/clock_renderer.h"
#include "settings/settings.h"

namespace {

constexpr char APPLICATION_ID[] = "com.dashwelle.VelmorClock";

int openResult = 0;

// The icon beside the program when it runs from its build folder (not installed).
void FindIcons() {
    GtkIconTheme* theme = gtk_icon_theme_get_default();
    const std::string program = ProgramPath();
    if (gtk_icon_theme_has_icon(theme, "velmor-clock") || program.empty()) return;
    gtk_icon_theme_append_search_path(theme, (program.substr(0, program.rfind('/')) + "/icons").c_str());
}

// The first start opens the clock; every later one (a second start hands its
// activation over the bus) shows it.
void OnActivate(GApplication*, gpointer) {
    if (clockWindow) {
        ShowClock();
        gtk_window_present(GTK_WINDOW(clockWindow));
        RefreshTray();
        return;
    }
    FindIcons();
    settingsPath = InitSettingsPath();
    cfg = LoadSettingsFile(settingsPath);
    openResult = OpenClock();
}

gboolean OnSignal(gpointer) {
    CloseClock(); // saves, as closing from the menu does
    return G_SOURCE_CONTINUE;
}

} // namespace

int main(int argc, char** argv) {
    g_set_prgname("velmor-clock");
    g_set_application_name("Velmor Clock");
    // X11 only: a desktop clock places its own window, keeps it above others and
    // shapes it, which Wayland leaves to the compositor; a Wayland session runs
    // it through XWayland.
    gdk_set_allowed_backends("x11");
    // Arguments are ignored, as on Windows; GTK's own (--display) still apply.
    if (!gtk_init_check(&argc, &argv)) {
        std::fputs("Velmor Clock needs an X11 display (or XWayland).\n", stderr);
        return EXIT_NO_WINDOW;
    }
    renderer = BuiltInRenderer();
    if (!renderer) {
        std::fputs("The clock artwork could not be loaded. Please reinstall Velmor Clock.\n", stderr);
        return EXIT_NO_ARTWORK;
    }
    application = gtk_application_new(APPLICATION_ID, G_APPLICATION_DEFAULT_FLAGS);
    g_signal_connect(application, "activate", G_CALLBACK(OnActivate), nullptr);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        g_unix_signal_add(signal, OnSignal, nullptr);
    char* noArguments[] = {argv[0], nullptr};
    const int status = g_application_run(G_APPLICATION(application), 1, noArguments);
    g_object_unref(application);
    application = nullptr;
    FreeSurface();
    renderer.reset();
    return openResult != 0 ? openResult : status;
}
