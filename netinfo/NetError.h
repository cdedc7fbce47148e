#pragma once
// Text of the system's status codes, and the exception that the network
// components raise for a failed call.
#include <cstdint>
#include <string>

#include "platform/SystemMessages.h"
#include "toolkit/Exception.h"

// FormatMessage flags and language of the lookup.
inline constexpr std::uint32_t kFormatAllocateBuffer = 0x0100;
inline constexpr std::uint32_t kFormatIgnoreInserts = 0x0200;
inline constexpr std::uint32_t kFormatFromHModule = 0x0800;
inline constexpr std::uint32_t kFormatFromSystem = 0x1000;
inline constexpr std::uint32_t kLangNeutralSublangDefault = 0x0400;

// The text of a status code: netmsg.dll's message table first (when it loads
// as a data file), then the system's; "" when neither has one. The text is
// returned as the system gives it, final line break included. netmsg.dll is
// looked for once per run and kept (SystemMessages::KeptDataFile). Safe to
// call from several threads when the SystemMessages is.
std::string NetErrorText(platform::SystemMessages& messages, std::uint32_t code);

// "Error %d : %s" with the code (signed) and its text, or "Error %d".
std::string NetErrorMessage(platform::SystemMessages& messages, std::uint32_t code);

class ENTException : public Exception {
public:
    static ENTException CreateError(platform::SystemMessages& messages, std::uint32_t code);
    static ENTException CreateLastError(platform::SystemMessages& messages);

    std::uint32_t ErrorCode = 0;

private:
    ENTException(std::uint32_t code, std::string message)
        : Exception(std::move(message)), ErrorCode(code) {}
};
