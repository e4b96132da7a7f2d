// One clock frame for a given time, drawn into a new bitmap (the self-test's way in).
#pragma once

#include <memory>

#include "presentation/gdiplus.h"

// A new `size` x `size` 32-bit premultiplied bitmap holding the frame for `time`
// under the current settings, owned by the caller. Never empty: a failed
// platform call shows as the bitmap's last status. `size` is clamped into
// 160..1200, the sizes the renderer draws. Without a renderer the frame is
// wholly transparent.
std::unique_ptr<Gdiplus::Bitmap> Compose(int size, const SYSTEMTIME& time, bool fast);
