#include "platform/Secret.h"

#include <cstring>
#include <utility>

namespace platform {

void WipeBytes(void* bytes, std::size_t count) {
    // Writes through a volatile pointer are kept even when the memory is
    // never read again.
    volatile unsigned char* p = static_cast<volatile unsigned char*>(bytes);
    for (std::size_t i = 0; i < count; ++i) p[i] = 0;
}

Secret::Secret(std::string_view text)
    : bytes_(new char[text.size() + 1]), capacity_(text.size() + 1), size_(text.size()) {
    std::memcpy(bytes_.get(), text.data(), text.size());
    bytes_[size_] = '\0';
}

Secret::Secret(Secret&& other) noexcept
    : bytes_(std::move(other.bytes_)),
      capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0)) {}

Secret& Secret::operator=(Secret&& other) noexcept {
    if (this != &other) {
        Wipe();
        bytes_ = std::move(other.bytes_);
        capacity_ = std::exchange(other.capacity_, 0);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void Secret::Wipe() {
    if (bytes_) WipeBytes(bytes_.get(), capacity_);
    size_ = 0;
}

}  // namespace platform
