#include "settings/atomic_file.h"

#include <array>

namespace {

// Virus scanners and the search indexer open a file that has just been
// written, for a moment and often without sharing: a create or rename that
// meets one is tried again after these waits (five tries, half a second in
// all) before it gives up.
constexpr std::array<DWORD, 4> RETRY_WAITS_MS = {50, 100, 150, 200};

// After a failed call: whether it met another's open handle (a sharing
// violation, or the access denied of a file still open after its deletion)
// with a try left, in which case this waits for the next one.
bool WaitToRetry(std::size_t attempt) {
    const DWORD error = GetLastError();
    if (attempt >= RETRY_WAITS_MS.size() ||
        (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED))
        return false;
    Sleep(RETRY_WAITS_MS[attempt]);
    return true;
}

// Owns a file handle; closes it once, explicitly or when it goes out of scope.
struct FileHandle {
    HANDLE handle = INVALID_HANDLE_VALUE;
    explicit FileHandle(HANDLE h) : handle(h) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { Close(); }
    bool Valid() const { return handle != INVALID_HANDLE_VALUE; }
    void Close() {
        if (Valid()) CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
};

// A new or emptied file at `path`, open for writing.
HANDLE CreateForWriting(const std::wstring& path) {
    for (std::size_t attempt = 0;; ++attempt) {
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || !WaitToRetry(attempt)) return file;
    }
}

// Moves `from` over `to`, on disk when this returns true.
bool MoveOver(const std::wstring& from, const std::wstring& to) {
    for (std::size_t attempt = 0;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        if (!WaitToRetry(attempt)) return false;
    }
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace

bool WriteWholeFile(const std::wstring& path, std::string_view bytes) {
    FileHandle file(CreateForWriting(path));
    return file.Valid() && WriteAll(file.handle, bytes);
}

bool ReplaceFileAtomically(const std::wstring& path, std::string_view bytes) {
    const std::wstring tempPath = path + L".tmp";
    FileHandle file(CreateForWriting(tempPath));
    if (!file.Valid()) return false;
    const bool flushed = WriteAll(file.handle, bytes) && FlushFileBuffers(file.handle);
    file.Close();
    if (!flushed || !MoveOver(tempPath, path)) {
        DeleteFileW(tempPath.c_str());
        return false;
    }
    return true;
}

std::optional<std::string> ReadSmallFile(const std::wstring& path, DWORD limit) {
    FileHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file.Valid() || !GetFileSizeEx(file.handle, &size) || size.QuadPart > limit) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.handle, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size()))
        return std::nullopt;
    return bytes;
}
