// The self-test's report file: three lines of UTF-16LE text without a byte-order mark.
#pragma once

#include <string>

// The bytes of "failures=N", "face_native=W" and "max_render=1200", each line
// ending CR LF.
std::string ReportBytes(int failures, unsigned faceWidth);
