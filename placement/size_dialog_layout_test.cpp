#include "placement/size_dialog_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(SizeDialogLayout, ScalesClientFontAndControlsWithRoundingToNearest) {
    const struct {
        unsigned dpi;
        ScreenSize client;
        int font;
        ControlPlace slider, done;
    } rows[] = {
        {96, {480, 220}, 16, {202, {20, 52}, {435, 46}}, {205, {335, 164}, {116, 34}}},
        {0, {480, 220}, 16, {202, {20, 52}, {435, 46}}, {205, {335, 164}, {116, 34}}},
        // 435 x 1.25 = 543.75 and 46 x 1.25 = 57.5 (halves away from zero).
        {120, {600, 275}, 20, {202, {25, 65}, {544, 58}}, {205, {419, 205}, {145, 43}}},
        {144, {720, 330}, 24, {202, {30, 78}, {653, 69}}, {205, {503, 246}, {174, 51}}},
        {192, {960, 440}, 32, {202, {40, 104}, {870, 92}}, {205, {670, 328}, {232, 68}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.dpi);
        EXPECT_EQ(SizeDialogClient(row.dpi), row.client);
        EXPECT_EQ(SizeDialogFontHeight(row.dpi), row.font);
        const auto controls = SizeDialogControls(row.dpi);
        EXPECT_EQ(controls[1], row.slider);
        EXPECT_EQ(controls[4], row.done);
    }
    const std::array<ControlPlace, 5> at96{{{201, {24, 16}, {430, 30}},
                                            {202, {20, 52}, {435, 46}},
                                            {203, {24, 105}, {430, 44}},
                                            {204, {24, 164}, {140, 34}},
                                            {205, {335, 164}, {116, 34}}}};
    EXPECT_EQ(SizeDialogControls(96), at96);
}

} // namespace
