#pragma once
// Read access to the registry: a key class that opens keys by path below a
// root (of this machine, of another machine, or any open key) and reads
// string and integer values, and TExRegistry, which reads string lists.
// Strings arrive from the system as UTF-16LE bytes and leave as UTF-8; a read
// never goes past the bytes the registry returned, whatever terminators they
// have or lack.
#include <cstdint>
#include <string>
#include <utility>

#include "platform/Registry.h"
#include "platform/SystemMessages.h"
#include "toolkit/Exception.h"
#include "toolkit/Strings.h"

// A failed read of the key class: a value of the wrong type, or one that
// could not be read.
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// A failed registry call, with the system error code it returned.
class EExRegistryException : public Exception {
public:
    // The message is the text of the code (as the network errors have it),
    // a colon, and the given message.
    static EExRegistryException CreateError(platform::SystemMessages& messages, std::uint32_t code,
                                            const std::string& message);
    static EExRegistryException CreateLastError(platform::SystemMessages& messages,
                                                const std::string& message);

    std::uint32_t ErrorCode = 0;

private:
    EExRegistryException(std::uint32_t code, std::string message)
        : Exception(std::move(message)), ErrorCode(code) {}
};

struct TRootRec {
    platform::RegKey Key;
    const char* Name;
};

inline constexpr TRootRec RootKeys[7] = {
    {0x80000000, "HKEY_CLASSES_ROOT"},     {0x80000001, "HKEY_CURRENT_USER"},
    {0x80000002, "HKEY_LOCAL_MACHINE"},    {0x80000003, "HKEY_USERS"},
    {0x80000004, "HKEY_PERFORMANCE_DATA"}, {0x80000005, "HKEY_CURRENT_CONFIG"},
    {0x80000006, "HKEY_DYN_DATA"},
};

class TRegistry {
public:
    TRegistry(platform::Registry& registry, std::uint32_t access);
    virtual ~TRegistry() = default;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    platform::RegKey CurrentKey() const { return currentKey_.Get(); }
    const std::string& CurrentPath() const { return currentPath_; }
    platform::RegKey RootKey() const { return rootKey_; }
    // Closes the current key; any open key may serve as the root, and stays
    // its opener's to close.
    void SetRootKey(platform::RegKey root);
    // Makes the current root key of another machine ("\\NAME") the root;
    // that connection is closed with this object. False when the machine's
    // registry cannot be reached; the root stays as it was.
    bool RegistryConnect(const std::string& machine);

    // A path that starts with a backslash is taken from the root key, any
    // other from the current key when one is open, else from the root. The
    // key is only opened: this program writes nothing, so asking to create
    // one raises ERegistryException.
    bool OpenKey(const std::string& path, bool canCreate);
    void CloseKey();
    bool KeyExists(const std::string& path);
    bool ValueExists(const std::string& name);
    // REG_SZ and REG_EXPAND_SZ (not expanded), up to the first null
    // character; "" when the value is absent.
    std::string ReadString(const std::string& name);
    // A REG_DWORD value.
    std::int32_t ReadInteger(const std::string& name);

protected:
    platform::Registry& registry_;

private:
    // The key a path starts from, and the path below it.
    platform::RegKey StartOf(const std::string& path, std::string& relative) const;

    // A root of another machine that this object connected to, and closes
    // after the current key; empty while the root is someone else's.
    platform::RegistryKey connectedRoot_;
    platform::RegistryKey currentKey_;
    platform::RegKey rootKey_ = platform::kHKeyCurrentUser;
    std::string currentPath_;
    std::uint32_t access_;
};

class TExRegistry : public TRegistry {
public:
    TExRegistry(platform::Registry& registry, platform::SystemMessages& messages,
                std::uint32_t access);

    // The strings of a REG_MULTI_SZ value of the current key, in stored
    // order, up to the first empty one.
    void ReadStrings(const std::string& name, TStringList& strings);

private:
    platform::SystemMessages& messages_;
};

// The UTF-16 units of UTF-16LE bytes as the registry returned them; an odd
// last byte is not a whole unit and is dropped.
std::u16string RegistryUtf16(const std::string& bytes);
