// The detail text of a server node for every sv101_type: one line per flag,
// in ascending order, each the name of a member that is in the set.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "app/MainWindow.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const auto bits = in.ConsumeIntegral<std::uint32_t>();
    const TServerAccountTypes types = ServerTypesFromBits(bits);
    const std::string text = TMainWindow::ServerFlagsText(types);

    const std::string prefix = "Serverflags: ";
    FUZZ_CHECK(text.compare(0, prefix.size(), prefix) == 0);
    TServerAccountTypes read;
    int last = -1;
    for (std::size_t at = prefix.size(); at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        FUZZ_CHECK(end != std::string::npos);
        const std::string name = "svType" + text.substr(at, end - at);
        int member = -1;
        for (int i = 0; i < kServerAccountTypeCount; ++i)
            if (ServerAccountTypeName(static_cast<TServerAccountType>(i)) == name) member = i;
        FUZZ_CHECK(member > last);
        last = member;
        read.Include(static_cast<TServerAccountType>(member));
        at = end + 2;
    }
    FUZZ_CHECK(read == types);
    // The set gives back the bits it was made of, less those without a member.
    std::uint32_t known = 0;
    for (int i = 0; i < kServerAccountTypeCount - 1; ++i)
        known |= ServerTypeBit(static_cast<TServerAccountType>(i));
    FUZZ_CHECK(ServerTypeBits(types) == (bits == 0xFFFFFFFF ? bits : (bits & known)));
    return 0;
}
