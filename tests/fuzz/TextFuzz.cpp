// The conversions at the API boundary and the cut of node texts: any UTF-16
// comes back unit for unit, any bytes convert without reading past them, and
// a cut keeps whole characters of the name and nothing else.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "app/NetNode.h"
#include "platform/Text.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const auto cut = in.ConsumeIntegralInRange<std::size_t>(0, 300);
    if (in.ConsumeBool()) {
        const std::string bytes = in.ConsumeRemainingBytesAsString();
        const std::u16string units = platform::Utf8ToUtf16(bytes);
        if (platform::IsValidUtf8(bytes)) FUZZ_CHECK(platform::Utf16ToUtf8(units) == bytes);
        const std::string head = platform::CutToChars(bytes, cut);
        FUZZ_CHECK(bytes.compare(0, head.size(), head) == 0);
        return 0;
    }
    std::u16string units;
    while (in.remaining_bytes() >= 2) units += static_cast<char16_t>(in.ConsumeIntegral<std::uint16_t>());
    const std::string name = fuzz::NameFromUnits(units);
    FUZZ_CHECK(platform::Utf8ToUtf16(name) == units);
    FUZZ_CHECK(platform::IsValidUtf8(name, true));

    std::size_t codePoints = 0;
    for (std::size_t i = 0; i < units.size(); ++i, ++codePoints)
        if (units[i] >= 0xD800 && units[i] <= 0xDBFF && i + 1 < units.size() &&
            units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF)
            ++i;
    FUZZ_CHECK(platform::CharCount(name) == codePoints);

    // A cut ends between two characters: its units begin the name's units.
    const std::string head = platform::CutToChars(name, cut);
    FUZZ_CHECK(platform::CharCount(head) == std::min(cut, codePoints));
    const std::u16string headUnits = platform::Utf8ToUtf16(head);
    FUZZ_CHECK(units.compare(0, headUnits.size(), headUnits) == 0);

    TNodeName shown;
    shown = name;
    FUZZ_CHECK(fuzz::IsNodeTextOf(shown.str(), name));
    return 0;
}
