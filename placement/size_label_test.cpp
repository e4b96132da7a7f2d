#include "placement/size_label.h"

#include <gtest/gtest.h>

namespace {

TEST(SizeLabel, ShowsThePercentOfTheStoredSizeAndTheWidthOnScreen) {
    struct Case {
        int size;
        unsigned dpi;
        const char* text;
    };
    const Case cases[] = {
        {320, 96, "Size: 100%  (320 pixels wide)"},
        {320, 144, "Size: 100%  (480 pixels wide)"},
        {600, 192, "Size: 188%  (1200 pixels wide)"},
        {160, 96, "Size: 50%  (160 pixels wide)"},
        {161, 96, "Size: 50%  (161 pixels wide)"},
        {481, 96, "Size: 150%  (481 pixels wide)"},
        {900, 96, "Size: 281%  (900 pixels wide)"},
        {900, 192, "Size: 281%  (1200 pixels wide)"}, // the stored size's percent, not the clamped one
    };
    for (const Case& c : cases)
        EXPECT_EQ(SizeLabelText(c.size, c.dpi), c.text) << c.size << " @ " << c.dpi;
}

} // namespace
