#pragma once
// Whole-file reading and safe replacing. Failures carry the system error code.
#include <cstdint>
#include <string>

namespace platform {

struct FileRead {
    std::uint32_t error = 0;  // 0: read
    std::string bytes;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual bool FileExists(const std::string& path) = 0;
    virtual FileRead ReadFile(const std::string& path) = 0;
    // Writes the bytes to a new file in the same folder and moves it over the
    // old one, so that a failure leaves the old file as it was. 0 on success.
    virtual std::uint32_t ReplaceWhole(const std::string& path, const std::string& bytes) = 0;
};

}  // namespace platform
