// The built-in artwork: PNG resources decoded into bitmaps, bitmaps into the
// renderer's pixel images.
#pragma once

#include <memory>

#include "presentation/gdiplus.h"
#include "renderer/image.h"

// The face artwork's bitmap, kept for the program's lifetime once start-up loads it.
extern std::unique_ptr<Gdiplus::Bitmap> face;

// Decodes the RCDATA resource `id` (low 16 bits) of `module` into a
// 32-bit premultiplied bitmap that owns its pixels. Empty on any failure.
std::unique_ptr<Gdiplus::Bitmap> LoadPng(HMODULE module, int id);

// The bitmap's pixels, premultiplied red, green, blue, alpha, top row first.
// Empty (0 x 0) when the pixels cannot be locked. The bitmap is only read.
velmor::Image ReadPixels(Gdiplus::Bitmap* bitmap);
