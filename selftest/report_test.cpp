#include "selftest/report.h"

#include <string>

#include <gtest/gtest.h>

#include "testing/utf16.h"

namespace {

TEST(ReportBytes, ThreeCrLfLinesWithoutByteOrderMark) {
    const std::string bytes = ReportBytes(0, 1254);
    EXPECT_EQ(bytes, Utf16Bytes<std::string>(u"failures=0\r\nface_native=1254\r\nmax_render=1200\r\n"));
    EXPECT_EQ(bytes.substr(0, 4), std::string("f\0a\0", 4)); // no FF FE in front
    EXPECT_EQ(bytes.size(), 2u * 47u);
}

TEST(ReportBytes, CountsAndWidthsInDecimal) {
    EXPECT_EQ(ReportBytes(17, 0),
              Utf16Bytes<std::string>(u"failures=17\r\nface_native=0\r\nmax_render=1200\r\n"));
    EXPECT_EQ(ReportBytes(3, 4294967295u),
              Utf16Bytes<std::string>(u"failures=3\r\nface_native=4294967295\r\nmax_render=1200\r\n"));
}

} // namespace
