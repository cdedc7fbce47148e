#pragma once
// The state of the scripted netapi32.dll and the course every call takes:
// recorded first, then the scripted delay and failure, then the answer.
// Calls come from several threads at once (the program asks machines side by
// side); one lock guards the network and the ledger, and no call holds it
// while it waits out its delay.
#include <windows.h>
#include <lm.h>

#include <algorithm>
#include <mutex>
#include <optional>

#include "tests/netapi32/CallLedger.h"
#include "tests/netapi32/NetworkScript.h"
#include "tests/netapi32/Records.h"

namespace scripted {

struct Library {
    std::mutex mutex;
    bool loaded = false;
    std::wstring fault;  // why the script could not be read; every call then fails
    std::wstring computer;
    Network network;
    CallLedger ledger;

    static Library& Get();
    // Reads the script that NV_SCRIPTED_NETWORK names, once (lock held).
    void EnsureLoaded();
    void Load(std::string_view script);
};

// One call as it passes through the library; holds the lock while it lives,
// except while it waits out a delay.
class Call {
public:
    Call(const wchar_t* function, std::initializer_list<std::wstring> arguments,
         LPBYTE* bufptr = nullptr, LPDWORD read = nullptr, LPDWORD total = nullptr);

    Library& lib() { return lib_; }
    // The status the script gives this call before any answer (0: answer
    // it): a script fault, the scripted failure after the scripted delay;
    // `own` is the machine's or domain's behaviour, before the network's.
    DWORD Prelude(Behaviour* own, DWORD level, std::size_t recordBytes);
    std::optional<DWORD> PartSize(const Behaviour& own) const;
    // The machine a server argument names, if the script has it.
    Machine* Find(const wchar_t* server);

    template <typename Record>
    void HandOut(const Records<Record>& records) {
        if (bufptr_) *bufptr_ = records.HandOut(lib_.ledger);
    }
    void Counts(std::size_t read, std::size_t total) {
        if (read_) *read_ = static_cast<DWORD>(read);
        if (total_) *total_ = static_cast<DWORD>(total);
    }

private:
    Library& lib_;
    std::unique_lock<std::mutex> lock_;
    const wchar_t* function_;
    LPBYTE* bufptr_;
    LPDWORD read_;
    LPDWORD total_;
};

// Hands out the items from the resume handle on, at most a part's worth:
// ERROR_MORE_DATA and the next resume handle while items remain. Without a
// resume handle the caller cannot go on, and gets the first part alone.
template <typename Record, typename Item, typename Handle, typename Fill>
NET_API_STATUS HandOutList(Call& call, const std::vector<const Item*>& items,
                           std::optional<DWORD> partSize, Handle* resume, Fill fill,
                           std::size_t spare = 0) {
    const std::size_t start = resume ? std::min<std::size_t>(*resume, items.size()) : 0;
    std::size_t end = items.size();
    if (partSize && *partSize > 0) end = std::min<std::size_t>(end, start + *partSize);
    Records<Record> records(end - start, spare);
    for (std::size_t i = start; i < end; ++i) fill(records, i - start, *items[i]);
    call.HandOut(records);
    call.Counts(end - start, items.size() - start);
    const bool more = end < items.size();
    if (resume) *resume = more ? static_cast<Handle>(end) : 0;
    return more ? ERROR_MORE_DATA : NERR_Success;
}

template <typename Item>
std::vector<const Item*> All(const std::vector<Item>& items) {
    std::vector<const Item*> all;
    for (const auto& item : items) all.push_back(&item);
    return all;
}

}  // namespace scripted
