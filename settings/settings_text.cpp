#include "settings/settings_text.h"

#include <charconv>

namespace {

void AppendNumber(std::u16string& text, std::int32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    for (const char* p = digits; p != end; ++p)
        text.push_back(static_cast<char16_t>(*p));
}

void AppendFlag(std::u16string& text, std::u16string_view key, bool value) {
    text += key;
    text += value ? u"=1" : u"=0";
    text += u"\r\n";
}

std::int32_t Clamp(std::int32_t value, std::int32_t low, std::int32_t high) {
    // Upper limit first, then the lower one.
    if (value > high) value = high;
    if (value < low) value = low;
    return value;
}

} // namespace

std::u16string SettingsText(const Settings& settings) {
    std::u16string text;
    text.reserve(160);
    text += u"[Clock]\r\nSize=";
    AppendNumber(text, settings.Size);
    text += u"\r\nX=";
    AppendNumber(text, settings.X);
    text += u"\r\nY=";
    AppendNumber(text, settings.Y);
    text += u"\r\n";
    AppendFlag(text, u"AlwaysOnTop", settings.AlwaysOnTop);
    AppendFlag(text, u"LockPosition", settings.LockPosition);
    AppendFlag(text, u"Seconds", settings.Seconds);
    AppendFlag(text, u"Smooth", settings.Smooth);
    AppendFlag(text, u"Crystal", settings.Crystal);
    AppendFlag(text, u"Shadows", settings.Shadows);
    text += u"ReflectionStrength=";
    AppendNumber(text, settings.ReflectionStrength);
    text += u"\r\n";
    return text;
}

Settings ReadSettings(const SettingsKeyReader& read) {
    constexpr Settings d = DEFAULT_SETTINGS;
    Settings s = d;
    s.Size = Clamp(read(u"Size", d.Size), 160, 900);
    s.X = read(u"X", d.X);
    s.Y = read(u"Y", d.Y);
    s.AlwaysOnTop = read(u"AlwaysOnTop", d.AlwaysOnTop ? 1 : 0) != 0;
    s.LockPosition = read(u"LockPosition", d.LockPosition ? 1 : 0) != 0;
    s.Seconds = read(u"Seconds", d.Seconds ? 1 : 0) != 0;
    s.Smooth = read(u"Smooth", d.Smooth ? 1 : 0) != 0;
    s.ReflectionStrength = Clamp(read(u"ReflectionStrength", d.ReflectionStrength), 50, 150);
    s.Crystal = read(u"Crystal", d.Crystal ? 1 : 0) != 0;
    s.Shadows = read(u"Shadows", d.Shadows ? 1 : 0) != 0;
    return s;
}
