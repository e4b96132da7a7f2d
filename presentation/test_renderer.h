// Test helpers: the program's renderer built from the built-in artwork, as start-up builds it.
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "presentation/artwork.h"
#include "presentation/clock_renderer.h"
#include "presentation/gdiplus_session.h"
#include "resources/resource_ids.h"
#include "settings/settings.h"

// A layered popup tool window like the clock's, 320 pixels wide at (100, 100),
// of a class `className` with the procedure `procedure`; the caller destroys it.
inline HWND CreateLayeredTestWindow(const wchar_t* className, WNDPROC procedure = DefWindowProcW) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);
    return CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, className, L"test", WS_POPUP, 100, 100, 320, 320,
                           nullptr, nullptr, windowClass.hInstance, nullptr);
}

inline std::unique_ptr<velmor::Renderer> BuiltInRenderer() {
    const HMODULE module = GetModuleHandleW(nullptr);
    std::unique_ptr<Gdiplus::Bitmap> bitmaps[3] = {LoadPng(module, FACE_ARTWORK_ID),
                                                   LoadPng(module, REFERENCE_ARTWORK_ID),
                                                   LoadPng(module, CRYSTAL_ARTWORK_ID)};
    for (auto& bitmap : bitmaps)
        if (!bitmap) return nullptr;
    return velmor::Renderer::make(ReadPixels(bitmaps[0].get()), ReadPixels(bitmaps[1].get()),
                                  ReadPixels(bitmaps[2].get()));
}

// Test fixture: GDI+ running, the built-in renderer in the global `renderer` and
// the settings at their defaults; the renderer is released and the settings
// reset afterwards.
class WithBuiltInRenderer : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gdiplus.started);
        renderer = BuiltInRenderer();
        ASSERT_NE(renderer, nullptr);
        cfg = DEFAULT_SETTINGS;
    }
    void TearDown() override {
        renderer.reset();
        cfg = DEFAULT_SETTINGS;
    }
    GdiplusSession gdiplus;
};
