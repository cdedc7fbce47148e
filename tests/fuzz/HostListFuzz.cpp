// ips.txt as it may lie on disk (any bytes), and as the program writes it
// from any names the system may give: what is read is written back the same,
// and written names read back unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "app/HostList.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    FakeLocale locale;
    if (in.ConsumeBool()) {
        const std::string bytes = in.ConsumeRemainingBytesAsString();
        const TStringList entries = ReadHostList(bytes, locale);
        for (const auto& e : entries) {
            FUZZ_CHECK(e.find('\r') == std::string::npos && e.find('\n') == std::string::npos);
            FUZZ_CHECK(e.find('\0') == std::string::npos);
        }
        const std::string written = WriteHostList(entries, locale);
        FUZZ_CHECK(ReadHostList(written, locale) == entries);
        // A file the program wrote is written again byte for byte.
        FUZZ_CHECK(WriteHostList(ReadHostList(written, locale), locale) == written);
        return 0;
    }
    TStringList entries;
    std::u16string name;
    while (in.remaining_bytes() >= 2) {
        const auto unit = in.ConsumeIntegral<std::uint16_t>();
        if (unit == 0 || unit == u'\r' || unit == u'\n') {
            entries.push_back(fuzz::NameFromUnits(name));
            name.clear();
        } else {
            name += static_cast<char16_t>(unit);
        }
    }
    if (!name.empty()) entries.push_back(fuzz::NameFromUnits(name));
    FUZZ_CHECK(ReadHostList(WriteHostList(entries, locale), locale) == entries);
    return 0;
}
