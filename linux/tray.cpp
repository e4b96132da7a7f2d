#include "linux/tray.h"

#include <libayatana-appindicator/app-indicator.h>

#include "linux/menu.h"

namespace {

AppIndicator* indicator = nullptr;

} // namespace

void AddTray() {
    if (indicator) return;
    indicator = app_indicator_new("velmor-clock", "velmor-clock", APP_INDICATOR_CATEGORY_APPLICATION_STATUS);
    app_indicator_set_title(indicator, "Velmor Clock");
    app_indicator_set_status(indicator, APP_INDICATOR_STATUS_ACTIVE);
    RefreshTray();
    SetStateChanged(RefreshTray);
}

void RefreshTray() {
    // The old menu goes with the indicator's reference to it.
    if (indicator) app_indicator_set_menu(indicator, GTK_MENU(BuildMenu()));
}

void RemoveTray() {
    SetStateChanged(nullptr);
    if (indicator) g_object_unref(indicator);
    indicator = nullptr;
}
