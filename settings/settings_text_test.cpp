#include "settings/settings_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <vector>

#include "testing/utf16.h"

namespace {

// The file's bytes as written: the mark, then the text, UTF-16LE.
std::vector<unsigned char> FileBytes(const Settings& settings) {
    std::u16string text(1, SETTINGS_BOM);
    text += SettingsText(settings);
    return Utf16Bytes(text);
}

TEST(SettingsText, DefaultsInFixedKeyOrder) {
    EXPECT_EQ(SettingsText(DEFAULT_SETTINGS),
              u"[Clock]\r\nSize=320\r\nX=-2147483648\r\nY=-2147483648\r\nAlwaysOnTop=0\r\nLockPosition=0\r\n"
              u"Seconds=1\r\nSmooth=1\r\nCrystal=1\r\nShadows=1\r\nReflectionStrength=100\r\n");
}

TEST(SettingsText, EveryFieldLandsOnItsOwnLine) {
    Settings s;
    s.Size = 900;
    s.X = -1200;
    s.Y = 40;
    s.ReflectionStrength = 65;
    s.AlwaysOnTop = true;
    s.LockPosition = true;
    s.Seconds = false;
    s.Smooth = false;
    s.Crystal = false;
    s.Shadows = false;
    EXPECT_EQ(SettingsText(s),
              u"[Clock]\r\nSize=900\r\nX=-1200\r\nY=40\r\nAlwaysOnTop=1\r\nLockPosition=1\r\n"
              u"Seconds=0\r\nSmooth=0\r\nCrystal=0\r\nShadows=0\r\nReflectionStrength=65\r\n");
    s.X = INT_MAX;
    s.Y = 0;
    EXPECT_NE(SettingsText(s).find(u"\r\nX=2147483647\r\nY=0\r\n"), std::u16string::npos);
}

TEST(SettingsText, BytesOnDisk) {
    Settings s;
    s.X = -1200;
    s.Y = 40;
    const auto bytes = FileBytes(s);
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    EXPECT_EQ(bytes[2], 0x5B); // '['
    EXPECT_EQ(bytes[3], 0x00);
    // Ends with CR LF after the last line, no terminating NUL character.
    const std::vector<unsigned char> tail(bytes.end() - 4, bytes.end());
    EXPECT_EQ(tail, (std::vector<unsigned char>{0x0D, 0x00, 0x0A, 0x00}));
    const std::u16string text = SettingsText(s);
    EXPECT_EQ(text.find(u'\0'), std::u16string::npos);
    EXPECT_EQ(bytes.size(), 2 + 2 * text.size());
    // Every line but the header is key=value.
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find(u"\r\n", at)) != std::u16string::npos; at += 2)
        ++lines;
    EXPECT_EQ(lines, 11u);
}

// Values stored under keys, as the platform's profile reader would hand them out.
struct FakeFile {
    std::map<std::u16string, std::int32_t> values;
    std::vector<std::u16string> asked;
    SettingsKeyReader Reader() {
        return [this](std::u16string_view key, std::int32_t fallback) {
            asked.emplace_back(key);
            const auto it = values.find(std::u16string(key));
            return it == values.end() ? fallback : it->second;
        };
    }
};

TEST(ReadSettings, MissingKeysGiveExactlyTheDefaults) {
    FakeFile file;
    EXPECT_EQ(ReadSettings(file.Reader()), DEFAULT_SETTINGS);
    EXPECT_EQ(file.asked,
              (std::vector<std::u16string>{u"Size", u"X", u"Y", u"AlwaysOnTop", u"LockPosition", u"Seconds",
                                           u"Smooth", u"ReflectionStrength", u"Crystal", u"Shadows"}));
}

TEST(ReadSettings, SizeAndStrengthAreClamped) {
    const struct {
        std::int32_t stored, size, strength;
    } cases[] = {{50, 160, 50},   {5000, 900, 150},   {10, 160, 50},       {999, 900, 150}, {159, 160, 150},
                 {160, 160, 150}, {900, 900, 150},    {901, 900, 150},     {49, 160, 50},   {151, 160, 150},
                 {-5, 160, 50},   {INT_MIN, 160, 50}, {INT_MAX, 900, 150}, {100, 160, 100}, {65, 160, 65}};
    for (const auto& c : cases) {
        FakeFile file;
        file.values = {{u"Size", c.stored}, {u"ReflectionStrength", c.stored}};
        const Settings s = ReadSettings(file.Reader());
        EXPECT_EQ(s.Size, c.size) << c.stored;
        EXPECT_EQ(s.ReflectionStrength, c.strength) << c.stored;
    }
}

TEST(ReadSettings, FlagsAreOnForAnythingButZeroAndPositionIsTakenAsRead) {
    for (std::int32_t v : {2, -1, 1, INT_MIN}) {
        FakeFile file;
        file.values = {{u"AlwaysOnTop", v}, {u"LockPosition", v}, {u"Seconds", v},
                       {u"Smooth", v},      {u"Crystal", v},      {u"Shadows", v}};
        const Settings s = ReadSettings(file.Reader());
        EXPECT_TRUE(s.AlwaysOnTop && s.LockPosition && s.Seconds && s.Smooth && s.Crystal && s.Shadows) << v;
    }
    FakeFile off;
    off.values = {{u"Seconds", 0}, {u"Smooth", 0}, {u"Crystal", 0},
                  {u"Shadows", 0}, {u"X", -1200},  {u"Y", 40}};
    const Settings s = ReadSettings(off.Reader());
    EXPECT_FALSE(s.Seconds || s.Smooth || s.Crystal || s.Shadows);
    EXPECT_EQ(s.X, -1200);
    EXPECT_EQ(s.Y, 40);
}

} // namespace
