/* The least a GTK 3 program waking 20 times a second costs: a window with a
 * 50 ms timer that draws nothing. bench/clock_cpu_linux.sh measures it beside
 * the clock, whose sweeping seconds hand ticks as often. */
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <signal.h>

static gboolean Tick(gpointer data) {
    (void)data;
    return G_SOURCE_CONTINUE;
}

/* Ends as the clock does when the session ends: with 0. */
static gboolean Quit(gpointer data) {
    (void)data;
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "Velmor Clock"); /* found as the clock is */
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_widget_set_size_request(window, 320, 320);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
    gtk_widget_show(window);
    g_timeout_add(50, Tick, NULL);
    g_unix_signal_add(SIGTERM, Quit, NULL);
    gtk_main();
    return 0;
}
