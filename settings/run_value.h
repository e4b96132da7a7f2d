// The autostart entry's data: the program's path in double quotes, and the
// test whether stored data names exactly that. Portable.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

// A double quote, the path, a double quote.
std::u16string QuotedPath(std::u16string_view path);

// Whether `stored`, the bytes a REG_SZ query returned (UTF-16LE, exactly the
// count the query reported), holds `expected` followed by a NUL or by the end
// of the data. The text is taken up to its first NUL but never beyond the
// returned bytes, so data without any NUL is compared in full and not a byte
// past it; an odd last byte reads as a character whose high byte is zero.
// The comparison is exact and case-sensitive.
bool RunValueMatches(std::span<const std::byte> stored, std::u16string_view expected);
