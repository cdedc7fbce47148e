#include "platform/Registry.h"

namespace platform {

namespace {

constexpr std::uint32_t kMoreData = 234;  // ERROR_MORE_DATA

}  // namespace

RegValue ReadWholeValue(const ValueQuery& query) {
    RegValue value;
    std::uint32_t size = 0;
    value.status = query(value.type, nullptr, size);
    if (value.status != 0) return value;
    for (int attempt = 0; attempt < kValueReadAttempts; ++attempt) {
        value.bytes.assign(size, '\0');
        std::uint32_t read = size;
        value.status =
            query(value.type, reinterpret_cast<std::uint8_t*>(value.bytes.data()), read);
        if (value.status == 0) {
            value.bytes.resize(read);
            return value;
        }
        if (value.status != kMoreData) break;
        // The value grew since its size was asked: read again at its new size.
        size = read;
    }
    value.bytes.clear();
    return value;
}

}  // namespace platform
