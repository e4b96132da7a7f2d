// The shared texts are wide strings; GTK takes UTF-8.
#pragma once

#include <string>
#include <string_view>

// `text` (UTF-32 on this system) as UTF-8.
std::string Utf8(std::wstring_view text);
