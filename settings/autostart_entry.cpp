#include "settings/autostart_entry.h"

#include <optional>

namespace {

// The value of `key` in the "[Desktop Entry]" group; keys are case-sensitive.
std::optional<std::string_view> EntryValue(std::string_view text, std::string_view key) {
    bool inGroup = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.starts_with('[')) {
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inGroup || equals == std::string_view::npos) continue;
        std::string_view name = line.substr(0, equals);
        while (name.ends_with(' '))
            name.remove_suffix(1);
        if (name != key) continue;
        std::string_view value = line.substr(equals + 1);
        while (value.starts_with(' '))
            value.remove_prefix(1);
        return value;
    }
    return std::nullopt;
}

} // namespace

std::string ExecValue(std::string_view path) {
    std::string value = "\"";
    for (const char c : path) {
        switch (c) {
        case '"':
        case '`':
        case '$':
            value += "\\\\"; // the quoting's backslash, itself escaped for the entry's string
            value += c;
            break;
        case '\\':
            value += "\\\\\\\\";
            break;
        case '%':
            value += "%%"; // not a field code
            break;
        case '\n':
            value += "\\n";
            break;
        default:
            value += c;
        }
    }
    return value + "\"";
}

std::string AutostartEntryText(std::string_view path) {
    return "[Desktop Entry]\nType=Application\nName=Velmor Clock\nComment=Analog desktop clock\nExec=" +
           ExecValue(path) + "\nIcon=velmor-clock\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
}

bool AutostartEntryStarts(std::string_view text, std::string_view path) {
    const std::optional<std::string_view> exec = EntryValue(text, "Exec");
    if (!exec || *exec != ExecValue(path)) return false;
    return EntryValue(text, "Hidden") != "true" && EntryValue(text, "X-GNOME-Autostart-enabled") != "false";
}
