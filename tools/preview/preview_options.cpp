#include "tools/preview/preview_options.h"

#include <cctype>
#include <cstdlib>

namespace velmor::preview {

const char* const USAGE =
    "usage: velmor-preview frame --size N --time HH:MM:SS[.mmm] [--no-crystal] [--no-shadows]\n"
    "                     [--no-seconds] [--no-smooth] [--reflection PERCENT] [--fast]\n"
    "                     [--resources DIR] OUT.png\n"
    "       velmor-preview sheet [--resources DIR] OUT.png\n";

namespace {
// A whole non-negative decimal number of 1 to `maxDigits` digits.
bool number(const std::string& text, int maxDigits, long& value) {
    if (text.empty() || static_cast<int>(text.size()) > maxDigits) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return true;
}
} // namespace

bool parseTime(const std::string& text, Time& time) {
    long h, m, s, ms = 0;
    if (text.size() < 8 || text[2] != ':' || text[5] != ':') return false;
    if (!number(text.substr(0, 2), 2, h) || !number(text.substr(3, 2), 2, m) ||
        !number(text.substr(6, 2), 2, s))
        return false;
    if (text.size() > 8) {
        if (text[8] != '.') return false;
        std::string fraction = text.substr(9);
        if (!number(fraction, 3, ms)) return false;
        while (fraction.size() < 3)
            fraction += '0', ms *= 10; // ".5" is 500 ms
    }
    if (h > 23 || m > 59 || s > 59) return false;
    time = Time{static_cast<std::int32_t>(h), static_cast<std::int32_t>(m), static_cast<std::int32_t>(s),
                static_cast<std::int32_t>(ms)};
    return true;
}

bool parse(const std::vector<std::string>& args, Command& command, std::string& error) {
    command = Command{};
    if (args.empty()) {
        error = "missing command";
        return false;
    }
    if (args[0] == "frame") {
        command.kind = Command::Kind::Frame;
    } else if (args[0] == "sheet") {
        command.kind = Command::Kind::Sheet;
    } else {
        error = "unknown command: " + args[0];
        return false;
    }
    const bool frame = command.kind == Command::Kind::Frame;
    bool sized = false, timed = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--resources") {
            if (!value(command.resources)) return false;
        } else if (frame && a == "--size") {
            long n;
            if (!value(v)) return false;
            if (!number(v, 4, n) || n < 160 || n > 1200) {
                error = "--size takes 160 to 1200";
                return false;
            }
            command.size = static_cast<std::int32_t>(n);
            sized = true;
        } else if (frame && a == "--time") {
            if (!value(v)) return false;
            if (!parseTime(v, command.time)) {
                error = "--time takes HH:MM:SS[.mmm]";
                return false;
            }
            timed = true;
        } else if (frame && a == "--reflection") {
            long n;
            if (!value(v)) return false;
            if (!number(v, 3, n)) {
                error = "--reflection takes a percentage";
                return false;
            }
            command.options.reflection = n / 100.0;
        } else if (frame && a == "--no-crystal") {
            command.options.crystal = false;
        } else if (frame && a == "--no-shadows") {
            command.options.shadows = false;
        } else if (frame && a == "--no-seconds") {
            command.options.seconds = false;
        } else if (frame && a == "--no-smooth") {
            command.options.smooth = false;
        } else if (frame && a == "--fast") {
            command.fast = true;
        } else if (!a.empty() && a[0] != '-' && command.output.empty()) {
            command.output = a;
        } else {
            error = "unexpected argument: " + a;
            return false;
        }
    }
    if (command.output.empty()) {
        error = "missing OUT.png";
        return false;
    }
    if (frame && (!sized || !timed)) {
        error = "frame needs --size and --time";
        return false;
    }
    return true;
}

} // namespace velmor::preview
