// Self-test mode: renders a fixed set of frames to PNG files and writes a report,
// without any window.
#pragma once

#include <string>

#include "presentation/gdiplus.h"

inline constexpr int SELF_TEST_PASSED = 0;
inline constexpr int SELF_TEST_NO_ENCODER = 10;
inline constexpr int SELF_TEST_FAILED = 11;

// Finds the PNG encoder among GDI+'s encoders; 0 when found, else non-zero.
int Encoder(CLSID& clsid);

// Runs every check, writes the frames and "selftest.txt" into `folder` and
// returns 0 when all passed, 11 when any failed, 10 without a PNG encoder.
// An empty `folder` is refused with 11 and nothing written.
int SelfTest(const std::wstring& folder);
