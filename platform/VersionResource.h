#pragma once
// The program file and the fixed part of a file's version resource.
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

struct FixedFileVersion {
    std::uint32_t ms = 0;  // dwFileVersionMS: major (high word), minor (low word)
    std::uint32_t ls = 0;  // dwFileVersionLS: release (high word), build (low word)
};

class VersionResource {
public:
    virtual ~VersionResource() = default;
    // Full path of the running program file.
    virtual std::string ModuleFileName() = 0;
    // nullopt when the file cannot be found or has no version resource.
    virtual std::optional<FixedFileVersion> FileVersion(const std::string& path) = 0;
};

}  // namespace platform
