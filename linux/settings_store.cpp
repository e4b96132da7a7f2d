#include "linux/settings_store.h"

#include <glib.h>

#include <optional>

#include "linux/files.h"
#include "settings/settings_utf8.h"

namespace {

constexpr std::size_t LARGEST_SETTINGS_FILE = 64 * 1024; // a real one is under 200 bytes

} // namespace

std::string InitSettingsPath() {
    const std::string folder = std::string(g_get_user_config_dir()) + "/velmor-clock";
    if (!MakeFolders(folder)) return {};
    return folder + "/settings.ini";
}

Settings LoadSettingsFile(const std::string& path) {
    const std::optional<std::string> bytes =
        path.empty() ? std::nullopt : ReadSmallFile(path, LARGEST_SETTINGS_FILE);
    return SettingsFromFile(bytes ? *bytes : std::string());
}

bool SaveSettingsFile(const std::string& path, const Settings& settings) {
    return !path.empty() && ReplaceFileAtomically(path, SettingsUtf8Text(settings));
}
