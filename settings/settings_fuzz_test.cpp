// Damaged settings files through the real reader and writer (under Wine, its
// profile reader): a few thousand files made from a seed, each with some of
// huge, negative and overflowing numbers, words, UTF-8 with or without its
// mark, UTF-16 without its mark or big-endian, a cut anywhere (inside a
// character too), NUL bytes, a 1 MiB line, no or another section, duplicate
// keys. Every field must end inside its clamp, a key the file never names at
// its default, a clean file exactly as written; the next save must write the
// canonical bytes, which read back the same. VELMOR_FUZZ_SEED picks another
// sequence, VELMOR_FUZZ_FILES another count.
#include <windows.h>

#include <array>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/atomic_file.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "settings/settings_text.h"
#include "testing/utf16.h"

namespace {

constexpr unsigned DEFAULT_FILES = 3000;
constexpr unsigned HUGE_LINE_EVERY = 500; // a 1 MiB line in one file of this many
constexpr std::size_t HUGE_LINE = 1 << 20;
constexpr DWORD READ_LIMIT = 1 << 16;

unsigned FromEnvironment(const char* name, unsigned fallback) {
    const char* text = std::getenv(name);
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

constexpr std::array<const char*, 10> KEYS = {
    "Size",    "X",      "Y",       "AlwaysOnTop", "LockPosition",
    "Seconds", "Smooth", "Crystal", "Shadows",     "ReflectionStrength"};

// A key's field in a record, by its index in KEYS.
void Set(Settings& s, std::size_t key, std::int32_t value) {
    switch (key) {
    case 0:
        s.Size = value;
        break;
    case 1:
        s.X = value;
        break;
    case 2:
        s.Y = value;
        break;
    case 3:
        s.AlwaysOnTop = value != 0;
        break;
    case 4:
        s.LockPosition = value != 0;
        break;
    case 5:
        s.Seconds = value != 0;
        break;
    case 6:
        s.Smooth = value != 0;
        break;
    case 7:
        s.Crystal = value != 0;
        break;
    case 8:
        s.Shadows = value != 0;
        break;
    default:
        s.ReflectionStrength = value;
        break;
    }
}
std::int32_t Get(const Settings& s, std::size_t key) {
    switch (key) {
    case 0:
        return s.Size;
    case 1:
        return s.X;
    case 2:
        return s.Y;
    case 3:
        return s.AlwaysOnTop;
    case 4:
        return s.LockPosition;
    case 5:
        return s.Seconds;
    case 6:
        return s.Smooth;
    case 7:
        return s.Crystal;
    case 8:
        return s.Shadows;
    default:
        return s.ReflectionStrength;
    }
}

// One generated file: its bytes, the keys it names anywhere, and for a clean
// file the record it must load as.
struct Case {
    std::string bytes;
    std::array<bool, KEYS.size()> named{};
    std::optional<Settings> exact;
    std::string what;
};

class Generator {
  public:
    explicit Generator(unsigned seed) : rng(seed) {}

    Case next(unsigned index) {
        Case c;
        Settings expected = DEFAULT_SETTINGS;
        bool clean = true;
        // One file in four is left clean, so the exact check is made often.
        hostility = pick(4) == 0 ? 0 : 1;
        std::string text = chance(4) ? "" : "[Clock]\r\n";
        if (text.empty()) {
            clean = false;
            text = pick(2) ? "[Other]\r\n" : "";
            c.what += "no section; ";
        }
        for (std::size_t key = 0; key < KEYS.size(); ++key) {
            if (pick(5) == 0) continue; // left out: its default
            c.named[key] = true;
            const bool hostile = chance(3);
            const std::int32_t ordinary = Ordinary(key);
            const std::string value = hostile ? Hostile() : std::to_string(ordinary);
            text += std::string(pick(4) == 0 ? Cased(KEYS[key]) : KEYS[key]) + "=" + value + "\r\n";
            if (hostile) {
                clean = false;
                c.what += std::string(KEYS[key]) + "=" + value.substr(0, 24) + "; ";
            } else {
                Set(expected, key, ordinary);
            }
            if (chance(12)) {
                text += std::string(KEYS[key]) + "=" + Hostile() + "\r\n";
                clean = false;
                c.what += "duplicate key; ";
            }
        }
        if (index % HUGE_LINE_EVERY == HUGE_LINE_EVERY - 1) {
            text.insert(text.find('\n') + 1, "Comment=" + std::string(HUGE_LINE, '9') + "\r\n");
            clean = false;
            c.what += "1 MiB line; ";
        }
        c.bytes = Encode(text, clean, c.what);
        if (clean) c.exact = expected;
        return c;
    }

  private:
    unsigned pick(unsigned n) { return static_cast<unsigned>(rng() % n); }
    // One in n, and never in a clean file.
    bool chance(unsigned n) { return hostility && pick(n) == 0; }

    std::int32_t Ordinary(std::size_t key) {
        switch (key) {
        case 0:
            return static_cast<std::int32_t>(160 + pick(741));
        case 1:
        case 2:
            return static_cast<std::int32_t>(pick(200001)) - 100000;
        case 9:
            return static_cast<std::int32_t>(50 + pick(101));
        default:
            return static_cast<std::int32_t>(pick(2));
        }
    }

    std::string Hostile() {
        static const char* const WORDS[] = {"",           "big",         " 42",        "0x1F", "1e9",
                                            "12abc",      "+5",          "--5",        "-",    "٣٣",
                                            "2147483648", "-2147483649", "4294967296", "NaN",  "\t7"};
        if (pick(2)) return WORDS[pick(std::size(WORDS))];
        std::string digits = pick(2) ? "-" : "";
        const unsigned length = 1 + pick(40);
        for (unsigned i = 0; i < length; ++i)
            digits += static_cast<char>('0' + pick(10));
        return digits;
    }

    std::string Cased(const char* key) {
        std::string name = key;
        for (char& ch : name)
            ch = static_cast<char>(pick(2) ? std::toupper(ch) : std::tolower(ch));
        return name;
    }

    // The text as bytes of some encoding, then maybe cut short or given NULs.
    std::string Encode(const std::string& text, bool& clean, std::string& what) {
        std::u16string wide(text.begin(), text.end()); // the text is ASCII but for one hostile word
        std::string bytes;
        switch (hostility ? pick(6) : 5) {
        case 0:
            bytes = "\xEF\xBB\xBF" + text;
            clean = false;
            what += "UTF-8 with mark; ";
            break;
        case 1:
            bytes = text;
            clean = false;
            what += "UTF-8; ";
            break;
        case 2:
            bytes = Utf16Bytes<std::string>(wide, false);
            clean = false;
            what += "UTF-16 without mark; ";
            break;
        case 3:
            bytes = "\xFE\xFF";
            for (char16_t unit : wide) {
                bytes += static_cast<char>(unit >> 8);
                bytes += static_cast<char>(unit & 0xFF);
            }
            clean = false;
            what += "UTF-16BE; ";
            break;
        default:
            bytes = Utf16Bytes<std::string>(wide, true);
            break;
        }
        if (chance(5) && !bytes.empty()) {
            bytes.resize(pick(static_cast<unsigned>(bytes.size())));
            clean = false;
            what += "cut at " + std::to_string(bytes.size()) + "; ";
        }
        if (chance(6) && !bytes.empty()) {
            for (unsigned n = 1 + pick(4); n > 0; --n)
                bytes.insert(pick(static_cast<unsigned>(bytes.size())), 1, '\0');
            clean = false;
            what += "NUL bytes; ";
        }
        return bytes;
    }

    std::mt19937 rng;
    unsigned hostility = 1;
};

std::string Canonical(const Settings& s) {
    return Utf16Bytes<std::string>(SettingsText(s), true);
}

class SettingsFuzz : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
        folder = std::wstring(temp) + L"velmor-settings-fuzz-" + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        iniPath = folder + L"\\settings.ini";
    }
    void TearDown() override {
        SetFileAttributesW(iniPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(iniPath.c_str());
        RemoveDirectoryW(iniPath.c_str());
        RemoveDirectoryW(folder.c_str());
        iniPath.clear();
        cfg = DEFAULT_SETTINGS;
    }
    std::wstring folder;
};

TEST_F(SettingsFuzz, GeneratedFilesLoadInsideTheClampsAndSaveCanonically) {
    const unsigned seed = FromEnvironment("VELMOR_FUZZ_SEED", 15);
    const unsigned files = FromEnvironment("VELMOR_FUZZ_FILES", DEFAULT_FILES);
    Generator generator(seed);
    unsigned exactOnes = 0;
    for (unsigned index = 0; index < files; ++index) {
        const Case c = generator.next(index);
        const std::string where =
            "file " + std::to_string(index) + " of seed " + std::to_string(seed) + ": " + c.what;
        ASSERT_TRUE(WriteWholeFile(iniPath, c.bytes)) << where;
        cfg = Settings{1, 2, 3, 4, true, true, false, false, false, false}; // nothing a load could leave
        LoadSettings();
        const Settings loaded = cfg;
        ASSERT_GE(loaded.Size, 160) << where;
        ASSERT_LE(loaded.Size, 900) << where;
        ASSERT_GE(loaded.ReflectionStrength, 50) << where;
        ASSERT_LE(loaded.ReflectionStrength, 150) << where;
        for (std::size_t key = 0; key < KEYS.size(); ++key) {
            if (c.named[key]) continue;
            ASSERT_EQ(Get(loaded, key), Get(DEFAULT_SETTINGS, key)) << KEYS[key] << ", " << where;
        }
        if (c.exact) {
            ASSERT_EQ(loaded, *c.exact) << where;
            ++exactOnes;
        }
        ASSERT_TRUE(SaveSettings(nullptr)) << where;
        ASSERT_EQ(ReadSmallFile(iniPath, READ_LIMIT), Canonical(loaded)) << where;
        LoadSettings();
        ASSERT_EQ(cfg, loaded) << "the saved file read back differently; " << where;
    }
    // The generator must leave enough files clean for the exact check to mean something.
    EXPECT_GT(exactOnes, files / 20);
}

// Where the file should be: a folder (read as no file, never replaced) or a
// read-only file (read as usual; Windows refuses to replace it, Wine replaces
// it: either way it is whole, old or new, and no temporary file is left).
TEST_F(SettingsFuzz, AFolderOrAReadOnlyFileInPlaceOfTheFile) {
    ASSERT_TRUE(CreateDirectoryW(iniPath.c_str(), nullptr));
    cfg = Settings{1, 2, 3, 4, true, true, false, false, false, false};
    LoadSettings();
    EXPECT_EQ(cfg, DEFAULT_SETTINGS);
    EXPECT_FALSE(SaveSettings(nullptr));
    EXPECT_EQ(GetFileAttributesW(iniPath.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              DWORD{FILE_ATTRIBUTE_DIRECTORY});
    ASSERT_TRUE(RemoveDirectoryW(iniPath.c_str()));

    Settings stored = DEFAULT_SETTINGS;
    stored.Size = 500;
    stored.X = -1200;
    ASSERT_TRUE(WriteWholeFile(iniPath, Canonical(stored)));
    ASSERT_TRUE(SetFileAttributesW(iniPath.c_str(), FILE_ATTRIBUTE_READONLY));
    LoadSettings();
    EXPECT_EQ(cfg, stored);
    cfg.Size = 700;
    const Settings changed = cfg;
    const bool saved = SaveSettings(nullptr);
    EXPECT_EQ(ReadSmallFile(iniPath, READ_LIMIT), Canonical(saved ? changed : stored)) << "saved " << saved;
    EXPECT_EQ(GetFileAttributesW((iniPath + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
