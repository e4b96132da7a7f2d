#include "placement/placement_memory.h"

#include <gtest/gtest.h>

#include "placement/test_monitors.h"

namespace {

using namespace test_monitors;

ScreenRect Window(std::int32_t x, std::int32_t y, std::int32_t width) {
    return {x, y, x + width, y + width};
}

PlacementMemory Placed(const MonitorLayout& layout, const ScreenRect& window, std::int32_t size) {
    PlacementMemory memory;
    Remember(memory, *PlaceOf(layout, window, size));
    return memory;
}

TEST(PlacementMemory, ChoosesTheUsersPlaceForAKnownLayoutOnly) {
    Monitor scaled = LAPTOP, lowerBar = LAPTOP;
    scaled.dpi = 192;
    lowerBar.workArea.bottom -= 60;
    struct Case {
        const char* what;
        MonitorLayout placedUnder;
        ScreenRect window;
        std::int32_t size;
        MonitorLayout now;
        std::optional<ClockPlace> expected;
    };
    const Case cases[] = {
        {"redock: back on the second monitor", DOCKED, Window(3000, 200, 320), 320, DOCKED,
         ClockPlace{{3000, 200}, 320}},
        {"undock: a layout never seen", DOCKED, Window(3000, 200, 320), 320, UNDOCKED, std::nullopt},
        {"primary swapped, names renumbered",
         MakeLayout({Screen(u"A", {0, 0, 2560, 1440}, true), Screen(u"B", {2560, 0, 4480, 1080}, false)}),
         Window(2700, 100, 400), 400,
         MakeLayout({Screen(u"C", {2560, 0, 4480, 1080}, false), Screen(u"D", {0, 0, 2560, 1440}, true)}),
         ClockPlace{{2700, 100}, 400}},
        {"monitor left of the primary, bottom-left corner", MakeLayout({LAPTOP, LEFT}),
         Window(-2500, 900, 320), 320, MakeLayout({LEFT, LAPTOP}), ClockPlace{{-2500, 900}, 320}},
        {"resolution changed: another desk", UNDOCKED, Window(100, 100, 320), 320,
         MakeLayout({Screen(u"\\\\.\\DISPLAY1", {0, 0, 1280, 720}, true)}), std::nullopt},
        // 100 from the right, 50 above the bar: at 192 DPI twice that, and the clock 640 wide.
        {"scale doubled on the same desk", UNDOCKED, Window(1500, 670, 320), 320, MakeLayout({scaled}),
         ClockPlace{{1920 - 200 - 640, 1040 - 100 - 640}, 320}},
        {"taskbar grown: same distance above it", UNDOCKED, Window(1500, 670, 320), 320,
         MakeLayout({lowerBar}), ClockPlace{{1500, 610}, 320}},
        {"size capped to a work area that shrank", UNDOCKED, Window(0, 0, 900), 900, MakeLayout({scaled}),
         ClockPlace{{0, 0}, 520}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChoosePlace(c.now, Placed(c.placedUnder, c.window, c.size)), c.expected) << c.what;
}

// Undock, the system pulls the clock onto the laptop, redock: the user's place
// under the docked layout is still there, and the forced move stored nothing.
TEST(PlacementMemory, AForcedMoveLeavesTheUsersPlaceAndRecentLayoutsWin) {
    PlacementMemory memory = Placed(DOCKED, Window(3000, 200, 320), 320);
    const ScreenRect forced =
        Window(KeepInside({3000, 200}, 320, 320, UNDOCKED.monitors[0].workArea).x, 200, 320);
    EXPECT_EQ(forced.left, 1600);
    EXPECT_FALSE(ChoosePlace(UNDOCKED, memory));
    EXPECT_EQ(ChoosePlace(DOCKED, memory), (ClockPlace{{3000, 200}, 320}));

    Remember(memory, *PlaceOf(UNDOCKED, Window(10, 10, 320), 320));
    Remember(memory, *PlaceOf(DOCKED, Window(2000, 20, 320), 320));
    ASSERT_EQ(memory.places.size(), 2u);
    EXPECT_EQ(memory.places[0].layout, DOCKED.signature);
    EXPECT_EQ(ChoosePlace(DOCKED, memory), (ClockPlace{{2000, 20}, 320}));
    for (std::int32_t width = 1000; width < 1000 + 2 * static_cast<std::int32_t>(MAX_LAYOUTS); ++width)
        Remember(memory,
                 *PlaceOf(MakeLayout({Screen(u"X", {0, 0, width, 800}, true)}), Window(0, 0, 320), 320));
    EXPECT_EQ(memory.places.size(), MAX_LAYOUTS);
    EXPECT_FALSE(Find(memory, DOCKED.signature));
    EXPECT_FALSE(PlaceOf(MakeLayout({}), Window(0, 0, 320), 320));
}

TEST(PlacementMemory, TextRoundTripsAndAnyDamageRemembersNothing) {
    PlacementMemory memory = Placed(MakeLayout({LAPTOP, LEFT}), Window(-2500, 900, 320), 333);
    Remember(memory, *PlaceOf(DOCKED, Window(3000, 200, 320), 320));
    memory.current = DOCKED.signature;
    const std::string text = MemoryText(memory);
    EXPECT_EQ(ParseMemory(text), memory);
    const std::string place = "place 00000000000000ff 0 1 5 -6 320\n";
    for (const std::string& damaged : std::initializer_list<std::string>{
             std::string{}, text.substr(0, text.size() - 1), "velmor-placement 2\n",
             text + "place 12 0 1 2 3\n", text + "place zz 0 0 0 0 320\n", text + "place 1f 0 4 0 0 320\n",
             text + "place 1f -1 0 0 0 320\n", text + "place 1f 0 0 0 0 10000\n",
             text + "place 1f 0 0 0 0 320 9\n", text + "current\n", text + "\n", text + place + place,
             std::string("velmor-placement 1\0\n", 20)})
        EXPECT_EQ(ParseMemory(damaged), PlacementMemory{}) << damaged;
}

} // namespace
