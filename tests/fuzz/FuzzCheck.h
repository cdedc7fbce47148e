#pragma once
// What a fuzz target checks beyond the sanitizers: a broken property ends the
// run with the property's text, and libFuzzer keeps the input that broke it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/Text.h"

#define FUZZ_CHECK(condition)                                                           \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                               \
        }                                                                               \
    } while (false)

namespace fuzz {

// A name as the system hands it over: any UTF-16 units, unpaired surrogates
// included, converted as the program converts them.
inline std::string NameFromUnits(std::u16string_view units) { return platform::Utf16ToUtf8(units); }

// Such a name of the input's choosing: short mostly, up to longUnits units.
inline std::string HostileText(FuzzedDataProvider& in, std::size_t longUnits) {
    const auto length = in.ConsumeIntegralInRange<std::size_t>(0, in.ConsumeBool() ? 16 : longUnits);
    std::u16string units;
    for (std::size_t i = 0; i < length && in.remaining_bytes() >= 2; ++i)
        units += static_cast<char16_t>(in.ConsumeIntegral<std::uint16_t>());
    return NameFromUnits(units);
}

// The name as a node shows it: itself, or its first 200 characters, never
// anything else.
inline bool IsNodeTextOf(std::string_view shown, std::string_view name) {
    if (name.substr(0, shown.size()) != shown) return false;
    const std::size_t chars = platform::CharCount(name);
    return chars <= 200 ? shown.size() == name.size() : platform::CharCount(shown) == 200;
}

}  // namespace fuzz
