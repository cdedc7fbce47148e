#pragma once
// The message tables of the system and of a message module, and the thread's
// last error code.
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

class SystemMessages {
public:
    using Module = std::uintptr_t;  // 0: no module

    virtual ~SystemMessages() = default;

    // LoadLibraryEx with LOAD_LIBRARY_AS_DATAFILE; 0 when it does not load.
    virtual Module LoadLibraryAsDataFile(const std::string& name) = 0;
    virtual void FreeLibrary(Module module) = 0;
    // FormatMessage with these flags into a buffer the service allocates (and
    // that is freed before this returns); nullopt when it returns length 0.
    virtual std::optional<std::string> FormatText(std::uint32_t flags, Module module,
                                                     std::uint32_t messageId,
                                                     std::uint32_t languageId) = 0;
    virtual std::uint32_t GetLastError() = 0;
};

}  // namespace platform
