#include "settings/run_value.h"

std::u16string QuotedPath(std::u16string_view path) {
    std::u16string quoted;
    quoted.reserve(path.size() + 2);
    quoted += u'"';
    quoted += path;
    quoted += u'"';
    return quoted;
}

bool RunValueMatches(std::span<const std::byte> stored, std::u16string_view expected) {
    const std::size_t units = (stored.size() + 1) / 2;
    std::size_t length = 0;
    for (; length < units; ++length) {
        const std::size_t at = length * 2;
        const auto low = static_cast<unsigned>(stored[at]);
        const auto high = at + 1 < stored.size() ? static_cast<unsigned>(stored[at + 1]) : 0u;
        const auto unit = static_cast<char16_t>(low | high << 8);
        if (unit == 0) break;
        if (length >= expected.size() || unit != expected[length]) return false;
    }
    return length == expected.size();
}
