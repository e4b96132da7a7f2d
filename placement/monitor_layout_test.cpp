#include "placement/monitor_layout.h"

#include <gtest/gtest.h>

#include "placement/test_monitors.h"

namespace {

using namespace test_monitors;

TEST(MonitorLayout, SignatureNamesTheDeskWhateverTheListingOrderAndDeviceNames) {
    // The primary swapped: the system renumbers the names and lists the new primary first.
    const MonitorLayout swapped = MakeLayout({Screen(u"\\\\.\\DISPLAY1", {0, 0, 2560, 1440}, true),
                                              Screen(u"\\\\.\\DISPLAY2", {2560, 0, 4480, 1080}, false)});
    const MonitorLayout renamed = MakeLayout({Screen(u"\\\\.\\DISPLAY7", {2560, 0, 4480, 1080}, false),
                                              Screen(u"\\\\.\\DISPLAY3", {0, 0, 2560, 1440}, true)});
    EXPECT_EQ(swapped.signature, renamed.signature);
    EXPECT_EQ(swapped.fingerprint, renamed.fingerprint);
    EXPECT_EQ(renamed.monitors[0].rect, (ScreenRect{0, 0, 2560, 1440}));
    EXPECT_EQ(MakeLayout({RIGHT, LAPTOP}).signature, DOCKED.signature);

    Monitor lowerBar = LAPTOP, scaled = LAPTOP, otherPrimary = LAPTOP, resized = LAPTOP;
    lowerBar.workArea.bottom -= 20;
    scaled.dpi = 144;
    otherPrimary.primary = false;
    resized.rect.right = 1280;
    struct Case {
        const char* what;
        Monitor monitor;
        bool sameDesk;
    };
    for (const Case& c :
         {Case{"taskbar moved", lowerBar, true}, Case{"scale changed", scaled, true},
          Case{"no longer primary", otherPrimary, false}, Case{"resolution", resized, false}}) {
        const MonitorLayout changed = MakeLayout({c.monitor});
        EXPECT_EQ(changed.signature == UNDOCKED.signature, c.sameDesk) << c.what;
        EXPECT_NE(changed.fingerprint, UNDOCKED.fingerprint) << c.what;
    }
    EXPECT_NE(DOCKED.signature, UNDOCKED.signature);
    EXPECT_NE(MakeLayout({LAPTOP, LEFT}).signature, DOCKED.signature);
}

} // namespace
