#pragma once
// The shell's "open" verb and the probe of a system library.
#include <string>

namespace platform {

class Shell {
public:
    virtual ~Shell() = default;
    // ShellExecute with the verb "open", the target as the file, no
    // parameters, no directory, SW_SHOWNORMAL; true when the shell reports
    // that it started something (a result above 32).
    virtual bool Open(const std::string& target) = 0;
    // Loads the library by name and frees it at once; true when it loaded.
    virtual bool LibraryLoads(const std::string& name) = 0;
};

}  // namespace platform
