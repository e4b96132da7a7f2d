#include "settings/autostart_entry.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(AutostartEntry, QuotesAndEscapesThePath) {
    EXPECT_EQ(ExecValue("/usr/bin/velmor-clock"), "\"/usr/bin/velmor-clock\"");
    EXPECT_EQ(ExecValue("/opt/my clock/run"), "\"/opt/my clock/run\"");
    // "$`\ take the quoting's backslash, which the entry's string escapes once more; % is doubled.
    EXPECT_EQ(ExecValue("/a\"b$c`d\\e%f"), R"("/a\\"b\\$c\\`d\\\\e%%f")");
}

TEST(AutostartEntry, StartsExactlyThisProgram) {
    const std::string path = "/home/me/bin/velmor clock";
    const std::string entry = AutostartEntryText(path);
    EXPECT_TRUE(entry.starts_with("[Desktop Entry]\n"));
    EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
    EXPECT_TRUE(AutostartEntryStarts(entry, path));

    struct Case {
        std::string text;
        bool starts;
    };
    const Case cases[] = {
        {entry, true},
        {"[Desktop Entry]\r\nExec = \"" + path + "\"\r\n", true},         // CR LF, blanks around "="
        {"[Desktop Entry]\nExec=" + path + "\n", false},                  // without the quotes
        {"[Desktop Entry]\nExec=\"/home/me/bin/Velmor clock\"\n", false}, // another letter case
        {"[Desktop Entry]\nExec=\"/usr/bin/velmor-clock\"\n", false},     // another copy
        {"[Desktop Entry]\nexec=\"" + path + "\"\n", false},              // keys are case-sensitive
        {"[Other]\nExec=\"" + path + "\"\n", false},
        {entry + "Hidden=true\n", false},
        {"[Desktop Entry]\nX-GNOME-Autostart-enabled=false\nExec=\"" + path + "\"\n", false},
        {"[Desktop Entry]\nExec=\"" + path + "\"\n[Desktop Action x]\nHidden=true\n", true},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AutostartEntryStarts(c.text, path), c.starts) << c.text;
    EXPECT_TRUE(AutostartEntryStarts(AutostartEntryText("/a\"b$c`d\\e%f"), "/a\"b$c`d\\e%f"));
}

} // namespace
