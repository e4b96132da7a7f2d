// The one version reaches everything that shows one: read back out of the
// built program (its version information and manifest) and the installer, as
// Windows reads them, and held to the About text.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/menu_items.h"
#include "resources/version.h"

namespace {

// CMake hands over Unix paths; Wine's drive Z: is the Unix root.
std::wstring WindowsPath(const char* path) {
    std::wstring wide(path, path + std::char_traits<char>::length(path));
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    return wide.size() > 1 && wide[1] == L':' ? wide : L"Z:" + wide;
}

struct VersionInfo {
    bool found = false;
    VS_FIXEDFILEINFO fixed{};
    std::vector<BYTE> data;
    std::wstring block; // "\StringFileInfo\<language><code page>\"

    std::wstring String(const wchar_t* name) const {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring path = block + name;
        if (!VerQueryValueW(data.data(), path.c_str(), &value, &length) || length == 0) return L"(none)";
        return std::wstring(static_cast<const wchar_t*>(value), length - 1);
    }
};

VersionInfo ReadVersionInfo(const std::wstring& file) {
    VersionInfo info;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return info;
    info.data.resize(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, info.data.data())) return info;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return info;
    info.fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
    // The string table of the first language the file names.
    if (!VerQueryValueW(info.data.data(), L"\\VarFileInfo\\Translation", &value, &length) || length < 4)
        return info;
    const auto* translation = static_cast<const WORD*>(value);
    wchar_t block[64];
    swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    info.block = block;
    info.found = true;
    return info;
}

std::wstring Wide(const char* text) {
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

// "1.0.8.0" from the fixed part's two words.
std::wstring Dotted(DWORD high, DWORD low) {
    return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
           std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low));
}

const std::wstring VERSION_4 = Wide(VELMOR_VERSION_TEXT) + L".0";

// The fixed numbers and the strings that both files share.
void ExpectVersion(const VersionInfo& info) {
    ASSERT_TRUE(info.found);
    EXPECT_EQ(Dotted(info.fixed.dwFileVersionMS, info.fixed.dwFileVersionLS), VERSION_4);
    EXPECT_EQ(Dotted(info.fixed.dwProductVersionMS, info.fixed.dwProductVersionLS), VERSION_4);
    EXPECT_EQ(info.String(L"FileVersion"), VERSION_4);
    EXPECT_EQ(info.String(L"ProductVersion"), VERSION_4);
    EXPECT_EQ(info.String(L"ProductName"), L"Velmor Clock");
    EXPECT_EQ(info.String(L"CompanyName"), L"Dashwelle");
    EXPECT_EQ(info.String(L"LegalCopyright"), L"Copyright (C) Dashwelle");
}

TEST(VersionInfo, ProgramCarriesTheProjectVersion) {
    const VersionInfo info = ReadVersionInfo(WindowsPath(VELMOR_PROGRAM));
    ExpectVersion(info);
    EXPECT_EQ(info.String(L"FileDescription"), L"Velmor Clock");
    EXPECT_EQ(info.String(L"OriginalFilename"), L"velmor-clock.exe");
    EXPECT_EQ(info.fixed.dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST(VersionInfo, InstallerCarriesTheProjectVersion) {
    const VersionInfo info = ReadVersionInfo(WindowsPath(VELMOR_SETUP));
    ExpectVersion(info);
    EXPECT_EQ(info.String(L"FileDescription"), L"Velmor Clock Setup");
    EXPECT_EQ(info.String(L"OriginalFilename"), L"velmor-clock-" + Wide(VELMOR_VERSION_TEXT) + L"-setup.exe");
}

// The manifest's assembly version, and the About text's number, are the ones
// the program's version information gives.
TEST(VersionInfo, ManifestAndAboutTextAgreeWithIt) {
    const VersionInfo info = ReadVersionInfo(WindowsPath(VELMOR_PROGRAM));
    ASSERT_TRUE(info.found);
    const std::wstring four = Dotted(info.fixed.dwProductVersionMS, info.fixed.dwProductVersionLS);
    const std::wstring three = four.substr(0, four.rfind(L'.'));

    const HMODULE program = LoadLibraryExW(WindowsPath(VELMOR_PROGRAM).c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    const HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(program, found)));
    const std::string manifest(bytes, SizeofResource(program, found));
    FreeLibrary(program);
    const std::string wanted =
        "name=\"Dashwelle.VelmorClock\" version=\"" + std::string(four.begin(), four.end()) + "\"";
    EXPECT_NE(manifest.find(wanted), std::string::npos) << manifest.substr(0, 300);

    EXPECT_EQ(std::wstring(ABOUT_TEXT).substr(0, 13 + three.size() + 2), L"Velmor Clock " + three + L"\n\n");
}

} // namespace
