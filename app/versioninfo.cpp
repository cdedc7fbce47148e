#include "app/versioninfo.h"

TFileVersion SplitFileVersion(const platform::FixedFileVersion& fixed) {
    TFileVersion v;
    v.Major = static_cast<std::uint16_t>(fixed.ms >> 16);
    v.Minor = static_cast<std::uint16_t>(fixed.ms & 0xFFFF);
    v.Release = static_cast<std::uint16_t>(fixed.ls >> 16);
    v.Build = static_cast<std::uint16_t>(fixed.ls & 0xFFFF);
    return v;
}

const std::string& TVersionInfo::ProgramPath() {
    if (!path_) path_ = resource_.ModuleFileName();
    return *path_;
}

TFileVersion TVersionInfo::GetFileVersion() {
    const auto fixed = resource_.FileVersion(ProgramPath());
    return fixed ? SplitFileVersion(*fixed) : TFileVersion{};
}

std::string TVersionInfo::VersionText() {
    const TFileVersion v = GetFileVersion();
    return std::to_string(v.Major) + "." + std::to_string(v.Minor) + "." +
           std::to_string(v.Release) + ":" + std::to_string(v.Build);
}
