// Test helper: the program's renderer built from the built-in artwork, as start-up builds it.
#pragma once

#include <memory>

#include "app/globals.h"
#include "presentation/artwork.h"
#include "presentation/clock_renderer.h"

inline std::unique_ptr<velmor::Renderer> BuiltInRenderer() {
    instance = GetModuleHandleW(nullptr);
    std::unique_ptr<Gdiplus::Bitmap> bitmaps[3] = {LoadPng(101), LoadPng(103), LoadPng(104)};
    for (auto& bitmap : bitmaps)
        if (!bitmap) return nullptr;
    return velmor::Renderer::make(ReadPixels(bitmaps[0].get()), ReadPixels(bitmaps[1].get()),
                                  ReadPixels(bitmaps[2].get()));
}
