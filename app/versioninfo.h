#pragma once
// The running program's file version, from its version resource.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/VersionResource.h"

struct TFileVersion {
    std::uint16_t Major = 0;
    std::uint16_t Minor = 0;
    std::uint16_t Release = 0;
    std::uint16_t Build = 0;
};

// The four numbers of a fixed file version.
TFileVersion SplitFileVersion(const platform::FixedFileVersion& fixed);

class TVersionInfo {
public:
    explicit TVersionInfo(platform::VersionResource& resource) : resource_(resource) {}

    // All four numbers are 0 when the file or its version resource is missing.
    TFileVersion GetFileVersion();
    // "major.minor.release:build"
    std::string VersionText();
    // The program file's path, taken once on first use.
    const std::string& ProgramPath();

private:
    platform::VersionResource& resource_;
    std::optional<std::string> path_;
};
