// UTF-16LE bytes of a text, for tests that hold what is written to a file or
// the registry against the text it should be.
#pragma once

#include <string_view>
#include <vector>

// Each code unit low byte first; after the byte-order mark (FF FE) when `mark`.
// Bytes is any container of a byte type: std::vector<unsigned char>,
// std::vector<std::byte>, std::string.
template <class Bytes = std::vector<unsigned char>>
Bytes Utf16Bytes(std::u16string_view text, bool mark = false) {
    using Byte = typename Bytes::value_type;
    Bytes bytes;
    if (mark) bytes = {static_cast<Byte>(0xFF), static_cast<Byte>(0xFE)};
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<Byte>(unit & 0xFF));
        bytes.push_back(static_cast<Byte>(unit >> 8));
    }
    return bytes;
}
