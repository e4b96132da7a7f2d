// A DLL planted beside a program under a system DLL's name (the end-to-end
// test drops it as gdiplus.dll): loaded, it leaves a file named after itself
// plus ".loaded" and refuses to load, so the program goes on without it.
#include <windows.h>

#include <cwchar>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    constexpr wchar_t SUFFIX[] = L".loaded";
    wchar_t path[MAX_PATH + sizeof SUFFIX / sizeof SUFFIX[0]] = L"";
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return FALSE;
    std::wcscat(path, SUFFIX);
    const HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return FALSE;
}
