// Whole-file reading and safe replacing with the wide file API.
#include "platform/win32/Win32Platform.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

namespace platform::win32 {

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
// Holds a valid handle or none (nullptr); CreateFileW's INVALID_HANDLE_VALUE
// is never stored.
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// Files are written in pieces that WriteFile's DWORD count can take.
constexpr std::size_t kChunk = 1 << 20;

// The new content of a replaced file goes to a temporary file beside it. The
// file is created with CREATE_NEW, so its name is unique even when another
// program replaces the same file at the same moment; until Commit it is
// deleted again when this object goes, its handle closed first.
class TempFile {
public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        handle_.reset();
        if (!name_.empty()) ::DeleteFileW(name_.c_str());
    }

    // Creates the file beside `target`; 0 or the error code.
    DWORD Create(const std::wstring& target) {
        const std::wstring stem = target + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-";
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            const std::wstring name = stem + std::to_wstring(attempt) + L".tmp";
            const HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle != INVALID_HANDLE_VALUE) {
                handle_.reset(handle);
                name_ = name;
                return ERROR_SUCCESS;
            }
            const DWORD error = ::GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return error;
        }
        return ERROR_FILE_EXISTS;
    }

    // Writes all bytes and flushes them to the disk; 0 or the error code.
    DWORD Write(const std::string& bytes) {
        for (std::size_t done = 0; done < bytes.size();) {
            const DWORD piece = static_cast<DWORD>(std::min(bytes.size() - done, kChunk));
            DWORD written = 0;
            if (!::WriteFile(handle_.get(), bytes.data() + done, piece, &written, nullptr))
                return ::GetLastError();
            if (written != piece) return ERROR_WRITE_FAULT;
            done += written;
        }
        if (!::FlushFileBuffers(handle_.get())) return ::GetLastError();
        if (!::CloseHandle(handle_.release())) return ::GetLastError();
        return ERROR_SUCCESS;
    }

    const std::wstring& Name() const { return name_; }
    void Commit() { name_.clear(); }

private:
    static constexpr int kAttempts = 100;
    UniqueHandle handle_;
    std::wstring name_;
};

}  // namespace

bool FileSystemWin32::FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

FileRead FileSystemWin32::ReadFile(const std::string& path) {
    FileRead result;
    const HANDLE handle = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        result.error = ::GetLastError();
        return result;
    }
    const UniqueHandle file(handle);
    // Read until the end rather than trust a size taken beforehand: the file
    // may grow or shrink meanwhile.
    std::string chunk(kChunk, '\0');
    while (true) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read,
                        nullptr)) {
            result.error = ::GetLastError();
            result.bytes.clear();
            return result;
        }
        if (read == 0) return result;
        result.bytes.append(chunk.data(), read);
    }
}

std::uint32_t FileSystemWin32::ReplaceWhole(const std::string& path, const std::string& bytes) {
    const std::wstring target = Wide(path);
    TempFile temp;
    if (const DWORD error = temp.Create(target); error != ERROR_SUCCESS) return error;
    if (const DWORD error = temp.Write(bytes); error != ERROR_SUCCESS) return error;
    // The move replaces the old file in one step; with MOVEFILE_WRITE_THROUGH
    // it returns only once the rename is on the disk.
    if (!::MoveFileExW(temp.Name().c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return ::GetLastError();
    temp.Commit();
    return ERROR_SUCCESS;
}

}  // namespace platform::win32
