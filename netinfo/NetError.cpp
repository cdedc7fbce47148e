#include "netinfo/NetError.h"

#include <cstdint>
#include <string>

std::string NetErrorText(platform::SystemMessages& messages, std::uint32_t code) {
    const auto module = messages.KeptDataFile("netmsg.dll");
    std::uint32_t flags = kFormatAllocateBuffer | kFormatIgnoreInserts | kFormatFromSystem;
    if (module != 0) flags |= kFormatFromHModule;
    return messages.KeptText(flags, module, code, kLangNeutralSublangDefault)
        .value_or(std::string());
}

std::string NetErrorMessage(platform::SystemMessages& messages, std::uint32_t code) {
    const std::string number = std::to_string(static_cast<std::int32_t>(code));
    const std::string text = NetErrorText(messages, code);
    if (text.empty()) return "Error " + number;
    return "Error " + number + " : " + text;
}

ENTException ENTException::CreateError(platform::SystemMessages& messages, std::uint32_t code) {
    return ENTException(code, NetErrorMessage(messages, code));
}

ENTException ENTException::CreateLastError(platform::SystemMessages& messages) {
    return CreateError(messages, messages.GetLastError());
}
