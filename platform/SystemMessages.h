#pragma once
// The message tables of the system and of a message module, and the thread's
// last error code.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>

namespace platform {

// FormatMessage's failure when the tables hold no message of that number
// (ERROR_MR_MID_NOT_FOUND).
inline constexpr std::uint32_t kErrorMessageNotFound = 317;

// What FormatMessage gave: the text, or no text and the error it failed with.
struct FormattedText {
    std::optional<std::string> text;
    std::uint32_t error = 0;
};

class SystemMessages {
public:
    using Module = std::uintptr_t;  // 0: no module

    virtual ~SystemMessages() = default;

    // LoadLibraryEx with LOAD_LIBRARY_AS_DATAFILE; 0 when it does not load.
    virtual Module LoadLibraryAsDataFile(const std::string& name) = 0;
    virtual void FreeLibrary(Module module) = 0;
    // FormatMessage with these flags into a buffer the service allocates (and
    // that is freed before this returns); no text, with the call's last error,
    // when it returns length 0.
    virtual FormattedText FormatText(std::uint32_t flags, Module module, std::uint32_t messageId,
                                     std::uint32_t languageId) = 0;
    virtual std::uint32_t GetLastError() = 0;

    // A library loaded as a data file on first use and kept loaded for the
    // life of this object; 0 when it does not load, which is remembered as
    // well. Looking for a library costs more than a message lookup (above all
    // for one that is not there), and a message is asked for per machine that
    // does not answer. Safe to call from several threads.
    Module KeptDataFile(const std::string& name) {
        std::lock_guard<std::mutex> lock(keptMutex_);
        auto it = kept_.find(name);
        if (it == kept_.end()) it = kept_.emplace(name, LoadLibraryAsDataFile(name)).first;
        return it->second;
    }

    // FormatText asked once per set of arguments for the life of this object:
    // a message's text does not change while the program runs, and the text
    // is asked for per machine that does not answer. (Under Wine each
    // FormatMessage takes blocks of the system's heap, which costs the more,
    // the more the heap holds: 4 us per machine while a domain of 100,000 is
    // listed.) Only a text, or the tables' word that they hold none, is
    // kept: a lookup that failed otherwise (memory, a resource that could
    // not be loaded) is asked again next time. Safe to call from several
    // threads.
    std::optional<std::string> KeptText(std::uint32_t flags, Module module, std::uint32_t messageId,
                                        std::uint32_t languageId) {
        std::lock_guard<std::mutex> lock(keptMutex_);
        const auto key = std::make_tuple(flags, module, messageId, languageId);
        auto it = texts_.find(key);
        if (it != texts_.end()) return it->second;
        FormattedText formatted = FormatText(flags, module, messageId, languageId);
        if (formatted.text || formatted.error == kErrorMessageNotFound)
            texts_.emplace(key, formatted.text);
        return std::move(formatted.text);
    }

protected:
    // For the destructor of an implementation: frees what KeptDataFile loaded.
    void FreeKeptDataFiles() {
        std::lock_guard<std::mutex> lock(keptMutex_);
        for (const auto& [name, module] : kept_)
            if (module != 0) FreeLibrary(module);
        kept_.clear();
    }

private:
    std::mutex keptMutex_;
    std::map<std::string, Module> kept_;
    std::map<std::tuple<std::uint32_t, Module, std::uint32_t, std::uint32_t>,
             std::optional<std::string>>
        texts_;
};

}  // namespace platform
