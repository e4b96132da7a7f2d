#include "settings/settings_utf8.h"

#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "settings/settings_text.h"

namespace {

Settings Unusual() {
    Settings s;
    s.Size = 613;
    s.X = -1200;
    s.Y = 40;
    s.ReflectionStrength = 65;
    s.AlwaysOnTop = true;
    s.Smooth = false;
    s.Shadows = false;
    return s;
}

TEST(SettingsUtf8, WritesTheSameLinesAndReadsThemBack) {
    const std::string text = SettingsUtf8Text(Unusual());
    EXPECT_EQ(text, "[Clock]\nSize=613\nX=-1200\nY=40\nAlwaysOnTop=1\nLockPosition=0\nSeconds=1\nSmooth=0\n"
                    "Crystal=1\nShadows=0\nReflectionStrength=65\n");
    EXPECT_EQ(SettingsFromFile(text), Unusual());
    EXPECT_EQ(SettingsFromFile("\xEF\xBB\xBF" + text), Unusual());
    // The Windows program's file, copied over, reads the same.
    const std::u16string wide = SettingsText(Unusual());
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : wide) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    EXPECT_EQ(SettingsFromFile(bytes), Unusual());
}

TEST(SettingsUtf8, DamagedFilesGiveTheDefaults) {
    for (const std::string& bytes : {std::string(), std::string("\0\0\0", 3), std::string("Size=500\nX=3\n"),
                                     std::string("[Other]\nSize=500\n"), std::string("[Clock\nSize=500\n"),
                                     std::string("\xFF\xFE[\0C\0", 6), std::string("[Clock]\nSize\n=500\n")})
        EXPECT_EQ(SettingsFromFile(bytes), DEFAULT_SETTINGS) << bytes;
}

TEST(SettingsUtf8, ReadsValuesAsTheProfileReaderDoes) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"[clock]\nSIZE=400", 400},                 // names in any case
        {" [ Clock ] \r\n  Size  =  -7  \r\n", -7}, // blanks around names and values, CR LF
        {"[Clock]\nSize=12abc", 12},                // digits up to the first other character
        {"[Clock]\nSize=abc", 0},                   // no digits
        {"[Clock]\nSize=+5", 5},
        {"[Clock]\nSize=", 99},         // empty: the fallback
        {"[Clock]\nSize=1\nSize=2", 1}, // the first key wins
        {"[Other]\nSize=3\n[Clock]\nSize=4", 4},
        {"[Clock]\nSize=4\n[Other]\nSize=3", 4},
        {"[Clock]\nSize=4294967295", -1}, // wraps into 32 bits
        {"[Clock]\nSizes=4", 99},
        {"Size=4\n[Clock]", 99},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IniInt(c.text, "Clock", "Size", 99), c.value) << c.text;
    // Out-of-range values are clamped by the record's rules; flags are on for anything but 0.
    const Settings s =
        SettingsFromFile("[Clock]\nSize=99999\nReflectionStrength=10\nSeconds=-1\nSmooth=x\nX=7");
    EXPECT_EQ(s.Size, 900);
    EXPECT_EQ(s.ReflectionStrength, 50);
    EXPECT_TRUE(s.Seconds);
    EXPECT_FALSE(s.Smooth);
    EXPECT_EQ(s.X, 7);
    EXPECT_EQ(s.Y, INT_MIN);
}

} // namespace
