#pragma once
// The registry, read only, as the program uses it: open a key below another
// (or below a root of another machine), read one value, close. Keys are the
// system's handles; the predefined roots are named by their 32-bit values.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace platform {

using RegKey = std::uint64_t;  // 0: none

inline constexpr RegKey kHKeyClassesRoot = 0x80000000;
inline constexpr RegKey kHKeyCurrentUser = 0x80000001;
inline constexpr RegKey kHKeyLocalMachine = 0x80000002;

// HKEY_CLASSES_ROOT to HKEY_DYN_DATA: the roots that exist without being
// opened, and are never closed.
constexpr bool IsPredefined(RegKey key) { return key >= 0x80000000 && key <= 0x80000006; }

inline constexpr std::uint32_t kKeyRead = 0x20019;

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

struct RegValue {
    std::uint32_t status = 0;  // 0, or the system error code (2: no such value)
    std::uint32_t type = 0;
    // The data exactly as the registry returned it, as many bytes as it
    // reported; string types hold UTF-16LE with whatever terminators (or
    // none) were stored.
    std::string bytes;
};

// One RegQueryValueEx of a value: with data null it asks for the type and
// the size; else it reads into data of size bytes. Either way size becomes
// the bytes the value takes (read, or needed when they do not fit).
using ValueQuery =
    std::function<std::uint32_t(std::uint32_t& type, std::uint8_t* data, std::uint32_t& size)>;

// A value read whole: its size asked first, then its bytes. A value that
// grows between the two is asked again, up to kValueReadAttempts reads; one
// that grew every time is a failed read (234), never one with the bytes of
// a read that did not fit (ERROR_MORE_DATA).
inline constexpr int kValueReadAttempts = 4;
RegValue ReadWholeValue(const ValueQuery& query);

class Registry {
public:
    virtual ~Registry() = default;
    // RegConnectRegistry: a predefined root of another machine, named "\\NAME"
    // (or "NAME"). An empty machine gives the local root itself. 0 on success.
    virtual std::uint32_t ConnectRegistry(const std::string& machine, RegKey root,
                                          RegKey& key) = 0;
    // RegOpenKeyEx of a path below parent (backslash-separated; the key is
    // never created). 0 on success.
    virtual std::uint32_t OpenKey(RegKey parent, const std::string& path, std::uint32_t access,
                                  RegKey& key) = 0;
    // RegQueryValueEx; "" names the key's default value.
    virtual RegValue QueryValue(RegKey key, const std::string& name) = 0;
    // RegCloseKey; the predefined roots of this machine are left alone.
    virtual void CloseKey(RegKey key) = 0;
};

// Owns one key, opened or connected through it, and closes it when it goes
// or holds another.
class RegistryKey {
public:
    explicit RegistryKey(Registry& registry) : registry_(&registry) {}
    ~RegistryKey() { Reset(); }
    RegistryKey(RegistryKey&& other) noexcept
        : registry_(other.registry_), key_(std::exchange(other.key_, 0)) {}
    RegistryKey& operator=(RegistryKey&& other) noexcept {
        if (this != &other) {
            Reset();
            registry_ = other.registry_;
            key_ = std::exchange(other.key_, 0);
        }
        return *this;
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Registry::OpenKey and ConnectRegistry into this owner, which closes
    // what it held first. On failure it holds nothing.
    std::uint32_t Open(RegKey parent, const std::string& path, std::uint32_t access) {
        Reset();
        return Held(registry_->OpenKey(parent, path, access, key_));
    }
    std::uint32_t Connect(const std::string& machine, RegKey root) {
        Reset();
        return Held(registry_->ConnectRegistry(machine, root, key_));
    }

    RegKey Get() const { return key_; }
    explicit operator bool() const { return key_ != 0; }
    void Reset() {
        if (key_ != 0) registry_->CloseKey(std::exchange(key_, 0));
    }

private:
    std::uint32_t Held(std::uint32_t status) {
        if (status != 0) key_ = 0;
        return status;
    }

    Registry* registry_;
    RegKey key_ = 0;
};

}  // namespace platform
