#pragma once
// A buffer of records as netapi32 hands one out: the array of records first,
// their texts after it in the same block, each record's text pointers
// pointing there. The block comes from the library's own
// NetApiBufferAllocate, so the caller must give it back to NetApiBufferFree.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/netapi32/CallLedger.h"
#include "tests/netapi32/NetworkScript.h"

namespace scripted {

template <typename Record>
class Records {
public:
    // `spare` zeroed records follow the counted ones (a terminating slot).
    explicit Records(std::size_t count, std::size_t spare = 0) : records_(count + spare) {}

    Record& operator[](std::size_t i) { return records_[i]; }

    void SetText(std::size_t i, wchar_t* Record::*field, const Text& text) {
        if (text) texts_.push_back({i, field, *text});
    }

    LPBYTE HandOut(CallLedger& ledger) const {
        const std::size_t recordBytes = records_.size() * sizeof(Record);
        std::size_t bytes = recordBytes;
        for (const auto& t : texts_) bytes += (t.text.size() + 1) * sizeof(wchar_t);
        auto* buffer = static_cast<BYTE*>(ledger.Allocate(bytes));
        if (buffer == nullptr) return nullptr;
        if (recordBytes) std::memcpy(buffer, records_.data(), recordBytes);
        auto* records = reinterpret_cast<Record*>(buffer);
        auto* next = reinterpret_cast<wchar_t*>(buffer + recordBytes);
        for (const auto& t : texts_) {
            std::memcpy(next, t.text.c_str(), (t.text.size() + 1) * sizeof(wchar_t));
            records[t.index].*t.field = next;
            next += t.text.size() + 1;
        }
        return buffer;
    }

private:
    struct PendingText {
        std::size_t index;
        wchar_t* Record::*field;
        std::wstring text;
    };
    std::vector<Record> records_;
    std::vector<PendingText> texts_;
};

}  // namespace scripted
