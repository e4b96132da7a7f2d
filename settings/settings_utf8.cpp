#include "settings/settings_utf8.h"

#include <cctype>

#include "settings/settings_text.h"

namespace {

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::int32_t ProfileNumber(std::string_view value) {
    std::size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
    std::uint32_t number = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
        number = number * 10u + static_cast<std::uint32_t>(value[i] - '0');
    return static_cast<std::int32_t>(negative ? 0u - number : number);
}

// The text of a UTF-16LE file after its mark, with every character beyond
// ASCII turned into '?' (no key or number has one).
std::string NarrowUtf16(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned unit = static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1])
                                                                         << 8;
        text.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return text;
}

} // namespace

std::string SettingsUtf8Text(const Settings& settings) {
    std::string text;
    for (const char16_t unit : SettingsText(settings))
        if (unit != u'\r') text.push_back(static_cast<char>(unit)); // all ASCII
    return text;
}

std::int32_t IniInt(std::string_view text, std::string_view section, std::string_view key,
                    std::int32_t fallback) {
    bool inSection = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.starts_with('[')) {
            const std::size_t close = line.find(']');
            inSection = close != std::string_view::npos && SameName(Trim(line.substr(1, close - 1)), section);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos || !SameName(Trim(line.substr(0, equals)), key))
            continue;
        const std::string_view value = Trim(line.substr(equals + 1));
        return value.empty() ? fallback : ProfileNumber(value);
    }
    return fallback;
}

Settings SettingsFromFile(std::string_view bytes) {
    std::string text;
    if (bytes.starts_with("\xFF\xFE")) {
        text = NarrowUtf16(bytes.substr(2));
    } else {
        if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
        text = bytes;
    }
    std::string section(SETTINGS_SECTION.begin(), SETTINGS_SECTION.end());
    return ReadSettings([&](std::u16string_view key, std::int32_t fallback) {
        return IniInt(text, section, std::string(key.begin(), key.end()), fallback);
    });
}
