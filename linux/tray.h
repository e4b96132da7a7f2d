// The notification icon: a StatusNotifierItem (libayatana-appindicator) with
// the clock's menu, exported on the session bus; where no host shows such
// items the library falls back to the older system tray.
#pragma once

void AddTray();

// The menu's check marks and "Hide clock"/"Show clock" follow the state now.
void RefreshTray();

void RemoveTray();
