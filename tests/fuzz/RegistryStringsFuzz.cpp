// A REG_MULTI_SZ value as the registry may return it: any bytes, an odd
// count, missing or extra terminators. The strings read never reach past the
// bytes, hold no terminator, and are the value's strings unit for unit up to
// the first empty one.
#include <cstdint>
#include <string>

#include "services/RegistryAccess.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedRegistry.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Only the returned bytes: a copy of exactly that length, so that ASan
    // sees any read past them.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ScriptedRegistry registry;
    FakeMessages messages;
    registry.KeyAt("", platform::kHKeyLocalMachine, "SYSTEM\\Svc").values["V"] = {
        platform::kRegMultiSz, bytes};

    TExRegistry reg(registry, messages, platform::kKeyRead);
    reg.SetRootKey(platform::kHKeyLocalMachine);
    FUZZ_CHECK(reg.OpenKey("\\SYSTEM\\Svc", false));
    TStringList strings;
    reg.ReadStrings("V", strings);

    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    std::size_t at = 0;
    for (const auto& s : strings) {
        const std::u16string back = platform::Utf8ToUtf16(s);
        FUZZ_CHECK(!back.empty());
        FUZZ_CHECK(back.find(u'\0') == std::u16string::npos);
        FUZZ_CHECK(units.compare(at, back.size(), back) == 0);
        at += back.size();
        FUZZ_CHECK(at == units.size() || units[at] == u'\0');
        ++at;
    }
    // The walk stopped at the end of the data or at an empty string.
    FUZZ_CHECK(at >= units.size() || units[at] == u'\0');
    return 0;
}
