#include "linux/autostart.h"

#include <glib.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <optional>

#include "linux/files.h"
#include "settings/autostart_entry.h"

std::string ProgramPath() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    return length > 0 && static_cast<std::size_t>(length) < sizeof path
               ? std::string(path, static_cast<std::size_t>(length))
               : std::string();
}

std::string AutostartPath() {
    return std::string(g_get_user_config_dir()) + "/autostart/" + std::string(AUTOSTART_FILE);
}

bool StartupEnabled() {
    const std::string program = ProgramPath();
    const std::optional<std::string> entry = ReadSmallFile(AutostartPath(), 64 * 1024);
    return !program.empty() && entry && AutostartEntryStarts(*entry, program);
}

bool SetStartup(bool enable) {
    const std::string path = AutostartPath();
    if (!enable) return unlink(path.c_str()) == 0 || errno == ENOENT;
    const std::string program = ProgramPath();
    if (program.empty() || !MakeFolders(path.substr(0, path.rfind('/')))) return false;
    return ReplaceFileAtomically(path, AutostartEntryText(program));
}
