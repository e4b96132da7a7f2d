#include "placement/size_dialog_layout.h"

#include <climits>

#include "placement/size_model.h"

namespace {

// The layout at 96 DPI, in logical pixels.
constexpr ScreenSize CLIENT{480, 220};
constexpr int FONT_HEIGHT = 16;
constexpr std::array<ControlPlace, SIZE_CONTROL_COUNT> CONTROLS{{
    {SIZE_LABEL_ID, {24, 16}, {430, 30}},
    {SIZE_SLIDER_ID, {20, 52}, {435, 46}},
    {SIZE_HINT_ID, {24, 105}, {430, 44}},
    {DEFAULT_SIZE_ID, {24, 164}, {140, 34}},
    {DONE_ID, {335, 164}, {116, 34}},
}};

int Scale(int logical, unsigned dpi) {
    const unsigned d = velmor::size::KnownDpi(dpi);
    const std::int32_t to = d > INT_MAX ? INT_MAX : static_cast<std::int32_t>(d);
    return MulDivRound(logical, to, static_cast<std::int32_t>(velmor::size::REFERENCE_DPI));
}

} // namespace

ScreenSize SizeDialogClient(unsigned dpi) {
    return {Scale(CLIENT.width, dpi), Scale(CLIENT.height, dpi)};
}

std::array<ControlPlace, SIZE_CONTROL_COUNT> SizeDialogControls(unsigned dpi) {
    std::array<ControlPlace, SIZE_CONTROL_COUNT> places = CONTROLS;
    for (ControlPlace& place : places) {
        place.topLeft = {Scale(place.topLeft.x, dpi), Scale(place.topLeft.y, dpi)};
        place.size = {Scale(place.size.width, dpi), Scale(place.size.height, dpi)};
    }
    return places;
}

int SizeDialogFontHeight(unsigned dpi) {
    return Scale(FONT_HEIGHT, dpi);
}
