#include "tests/fakes/ScriptedRegistry.h"

#include <algorithm>
#include <cctype>

#include "platform/Text.h"
#include "services/RegistryAccess.h"

namespace {

using platform::IsPredefined;

std::string RootName(platform::RegKey root) { return RootKeys[root - RootKeys[0].Key].Name; }

std::vector<std::string> Split(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

std::string Utf16Le(const std::string& utf8) {
    std::string bytes;
    for (char16_t c : platform::Utf8ToUtf16(utf8)) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

}  // namespace

bool ScriptedRegistry::NoCase::operator()(const std::string& a, const std::string& b) const {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int x = std::tolower(static_cast<unsigned char>(a[i]));
        const int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

ScriptedRegistry::Key& ScriptedRegistry::KeyAt(const std::string& machine, platform::RegKey root,
                                               const std::string& path) {
    Key* key = &machines_[machine][root];
    if (path.empty()) return *key;
    for (const auto& part : Split(path)) key = &key->subkeys[part];
    return *key;
}

ScriptedRegistry::Value ScriptedRegistry::String(const std::string& text, std::uint32_t type) {
    return {type, Utf16Le(text) + std::string(2, '\0')};
}

ScriptedRegistry::Value ScriptedRegistry::Dword(std::uint32_t number) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((number >> (8 * i)) & 0xFF);
    return {platform::kRegDword, bytes};
}

ScriptedRegistry::Value ScriptedRegistry::MultiString(const std::vector<std::string>& texts) {
    std::string bytes;
    for (const auto& t : texts) bytes += Utf16Le(t) + std::string(2, '\0');
    bytes += std::string(2, '\0');
    return {platform::kRegMultiSz, bytes};
}

std::vector<ScriptedRegistry::Call> ScriptedRegistry::CallsOf(const std::string& function) const {
    std::vector<Call> out;
    for (const auto& c : calls)
        if (c.function == function) out.push_back(c);
    return out;
}

const ScriptedRegistry::Handle* ScriptedRegistry::Resolve(platform::RegKey key) {
    if (IsPredefined(key)) {
        rootHandle_ = {"", &machines_[""][key], RootName(key)};
        return &rootHandle_;
    }
    auto it = handles_.find(key);
    return it == handles_.end() ? nullptr : &it->second;
}

std::uint32_t ScriptedRegistry::ConnectRegistry(const std::string& machine, platform::RegKey root,
                                                platform::RegKey& key) {
    if (recordCalls) calls.push_back({"ConnectRegistry", machine, RootName(root), "", 0});
    key = 0;
    if (machine.empty()) {
        key = root;
        return 0;
    }
    if (auto it = unreachable.find(machine); it != unreachable.end()) return it->second;
    key = next_++;
    handles_[key] = {machine, &machines_[machine][root], RootName(root)};
    return 0;
}

std::uint32_t ScriptedRegistry::OpenKey(platform::RegKey parent, const std::string& path,
                                        std::uint32_t access, platform::RegKey& key) {
    key = 0;
    const Handle* from = Resolve(parent);
    if (recordCalls) calls.push_back({"OpenKey", from ? from->machine : "?",
                     (from ? from->path : "?") + (path.empty() ? "" : "\\" + path), "", access});
    if (from == nullptr) return 6;  // the handle is invalid
    Key* at = from->key;
    if (!path.empty()) {
        for (const auto& part : Split(path)) {
            if (part.empty()) return 161;  // the path is invalid
            auto it = at->subkeys.find(part);
            if (it == at->subkeys.end()) return 2;
            at = &it->second;
        }
    }
    if (at->readOnly && (access & ~platform::kKeyRead) != 0) return 5;
    key = next_++;
    handles_[key] = {from->machine, at, from->path + (path.empty() ? "" : "\\" + path)};
    return 0;
}

platform::RegValue ScriptedRegistry::QueryValue(platform::RegKey key, const std::string& name) {
    platform::RegValue value;
    const Handle* h = Resolve(key);
    if (recordCalls) calls.push_back({"QueryValue", h ? h->machine : "?", h ? h->path : "?", name, 0});
    if (h == nullptr) {
        value.status = 6;
        return value;
    }
    auto it = h->key->values.find(name);
    if (it == h->key->values.end()) {
        value.status = 2;
        return value;
    }
    value.type = it->second.type;
    value.bytes = it->second.bytes;
    return value;
}

void ScriptedRegistry::CloseKey(platform::RegKey key) {
    if (IsPredefined(key)) return;
    auto it = handles_.find(key);
    if (recordCalls) calls.push_back({"CloseKey", it != handles_.end() ? it->second.machine : "?",
                     it != handles_.end() ? it->second.path : "?", "", 0});
    if (it == handles_.end()) {
        ++badCloses;
        return;
    }
    handles_.erase(it);
}
