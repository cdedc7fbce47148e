#pragma once
// An in-memory registry behind the registry seam: keys and values per machine
// ("" for this one, "\\NAME" for others), handles that are counted, and every
// call recorded, so that tests assert which keys were opened with what
// access and that every handle was closed.
#include <map>
#include <string>
#include <vector>

#include "platform/Registry.h"

class ScriptedRegistry : public platform::Registry {
public:
    // Key and value names compare without regard to letter case, as the
    // registry's do (ASCII is enough for the tests).
    struct NoCase {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    struct Value {
        std::uint32_t type = 0;
        std::string bytes;
    };
    struct Key {
        std::map<std::string, Value, NoCase> values;
        std::map<std::string, Key, NoCase> subkeys;
        // Opening it with more than read access fails with 5 (access denied),
        // as many keys do for an ordinary user.
        bool readOnly = false;
    };

    // The key at a backslash-separated path below a root of a machine,
    // created with its parents when missing.
    Key& KeyAt(const std::string& machine, platform::RegKey root, const std::string& path);
    // Values as the system stores them: strings as UTF-16LE with their
    // terminator, a string list with one more terminator at its end.
    static Value String(const std::string& text, std::uint32_t type = platform::kRegSz);
    static Value Dword(std::uint32_t number);
    static Value MultiString(const std::vector<std::string>& texts);

    // Machines whose registry cannot be reached, with the status of the
    // failed connection.
    std::map<std::string, std::uint32_t> unreachable;

    struct Call {
        std::string function;  // "ConnectRegistry", "OpenKey", "QueryValue", "CloseKey"
        std::string machine;
        std::string path;  // the key's full path from its root (with the opened path)
        std::string name;  // the value's name
        std::uint32_t access = 0;
    };
    std::vector<Call> calls;
    // Off: calls are not kept (a benchmark's thousands of them).
    bool recordCalls = true;
    std::vector<Call> CallsOf(const std::string& function) const;
    // Handles opened and not yet closed; closes of unknown handles.
    std::size_t OpenHandles() const { return handles_.size(); }
    int badCloses = 0;

    std::uint32_t ConnectRegistry(const std::string& machine, platform::RegKey root,
                                  platform::RegKey& key) override;
    std::uint32_t OpenKey(platform::RegKey parent, const std::string& path, std::uint32_t access,
                          platform::RegKey& key) override;
    platform::RegValue QueryValue(platform::RegKey key, const std::string& name) override;
    void CloseKey(platform::RegKey key) override;

private:
    struct Handle {
        std::string machine;
        Key* key = nullptr;
        std::string path;
    };
    // The handle's key, the predefined roots of this machine included.
    const Handle* Resolve(platform::RegKey key);

    std::map<std::string, std::map<platform::RegKey, Key>> machines_;
    std::map<platform::RegKey, Handle> handles_;
    Handle rootHandle_;
    platform::RegKey next_ = 0x1000;
};
