#include "settings/atomic_file.h"

namespace {

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
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
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
    if (!flushed ||
        !MoveFileExW(tempPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
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
