#pragma once
// A password on its way from the logon prompt to the connection call. Its
// bytes are overwritten as soon as it is no longer needed, and always before
// its memory goes back to the heap, so that no copy of it is left for a
// memory dump or for the next allocation to show. It cannot be copied, only
// moved; a string made from it would be a copy that nobody wipes.
#include <cstddef>
#include <memory>
#include <string_view>

namespace platform {

// Overwrites count bytes with zeros in a way the compiler cannot leave out,
// even when the memory is freed right after.
void WipeBytes(void* bytes, std::size_t count);

class Secret {
public:
    Secret() = default;
    explicit Secret(std::string_view text);
    ~Secret() { Wipe(); }
    Secret(Secret&& other) noexcept;
    Secret& operator=(Secret&& other) noexcept;
    Secret(const Secret&) = delete;
    Secret& operator=(const Secret&) = delete;

    // The text, zero-terminated; empty after Wipe.
    const char* CStr() const { return bytes_ ? bytes_.get() : ""; }
    std::string_view View() const { return {CStr(), size_}; }
    bool Empty() const { return size_ == 0; }
    // Zeros every byte of the buffer, which stays allocated until the
    // Secret goes; the Secret is empty afterwards.
    void Wipe();

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

}  // namespace platform
