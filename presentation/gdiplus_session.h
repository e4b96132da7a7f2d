// Test helper: GDI+ running for the life of a test fixture.
#pragma once

#include "presentation/gdiplus.h"

class GdiplusSession {
  public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        started = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession() {
        if (started) Gdiplus::GdiplusShutdown(token);
    }
    bool started = false;

  private:
    ULONG_PTR token = 0;
};
