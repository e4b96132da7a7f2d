// Command line of velmor-preview:
//   velmor-preview frame --size N --time HH:MM:SS[.mmm] [--no-crystal] [--no-shadows]
//                  [--no-seconds] [--no-smooth] [--reflection PERCENT] [--fast]
//                  [--resources DIR] OUT.png
//   velmor-preview sheet [--resources DIR] OUT.png
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "renderer/renderer.h"

namespace velmor::preview {

struct Command {
    enum class Kind { Frame, Sheet } kind = Kind::Frame;
    std::int32_t size = 320;
    Time time{10, 8, 37, 0};
    Options options{};
    bool fast = false;
    std::string resources; // empty: the built-in default folder
    std::string output;
};

// Parses "HH:MM:SS" or "HH:MM:SS.mmm" (1 to 3 fraction digits) into `time`.
bool parseTime(const std::string& text, Time& time);

// Parses the arguments after the program name into a fresh `command`. False with a message in `error` on
// anything it does not understand.
bool parse(const std::vector<std::string>& args, Command& command, std::string& error);

extern const char* const USAGE;

} // namespace velmor::preview
