#include "services/RegistryAccess.h"

#include <algorithm>
#include <utility>

#include "netinfo/NetError.h"
#include "platform/Text.h"

namespace {

constexpr std::uint32_t kErrorFileNotFound = 2;

}  // namespace

std::u16string RegistryUtf16(const std::string& bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return text;
}

// ---------------------------------------------------------------- exception

EExRegistryException EExRegistryException::CreateError(platform::SystemMessages& messages,
                                                       std::uint32_t code,
                                                       const std::string& message) {
    return EExRegistryException(code, NetErrorMessage(messages, code) + ":" + message);
}

EExRegistryException EExRegistryException::CreateLastError(platform::SystemMessages& messages,
                                                           const std::string& message) {
    return CreateError(messages, messages.GetLastError(), message);
}

// ---------------------------------------------------------------- key class

TRegistry::TRegistry(platform::Registry& registry, std::uint32_t access)
    : registry_(registry), connectedRoot_(registry), currentKey_(registry), access_(access) {}

void TRegistry::CloseKey() {
    currentKey_.Reset();
    currentPath_.clear();
}

void TRegistry::SetRootKey(platform::RegKey root) {
    CloseKey();
    connectedRoot_.Reset();
    rootKey_ = root;
}

bool TRegistry::RegistryConnect(const std::string& machine) {
    // An empty machine gives this machine's predefined root back, which the
    // registry never closes.
    platform::RegistryKey connected(registry_);
    if (connected.Connect(machine, rootKey_) != 0) return false;
    CloseKey();
    rootKey_ = connected.Get();
    connectedRoot_ = std::move(connected);
    return true;
}

platform::RegKey TRegistry::StartOf(const std::string& path, std::string& relative) const {
    if (!path.empty() && path.front() == '\\') {
        relative = path.substr(1);
        return rootKey_;
    }
    relative = path;
    return currentKey_ ? currentKey_.Get() : rootKey_;
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
    if (canCreate) throw ERegistryException("Registry keys are only read here, never created");
    std::string relative;
    const platform::RegKey from = StartOf(path, relative);
    platform::RegistryKey opened(registry_);
    if (opened.Open(from, relative, access_) != 0) return false;
    std::string newPath = currentKey_ && from == currentKey_.Get()
                              ? currentPath_ + (relative.empty() ? "" : "\\" + relative)
                              : relative;
    currentKey_ = std::move(opened);
    currentPath_ = std::move(newPath);
    return true;
}

bool TRegistry::KeyExists(const std::string& path) {
    std::string relative;
    const platform::RegKey from = StartOf(path, relative);
    return platform::RegistryKey(registry_).Open(from, relative, platform::kKeyRead) == 0;
}

bool TRegistry::ValueExists(const std::string& name) {
    return registry_.QueryValue(currentKey_.Get(), name).status == 0;
}

std::string TRegistry::ReadString(const std::string& name) {
    const platform::RegValue value = registry_.QueryValue(currentKey_.Get(), name);
    if (value.status == kErrorFileNotFound) return {};
    if (value.status != 0)
        throw ERegistryException("Registry value '" + name + "' could not be read");
    if (value.type != platform::kRegSz && value.type != platform::kRegExpandSz)
        throw ERegistryException("Registry value '" + name + "' is not a string");
    std::u16string text = RegistryUtf16(value.bytes);
    text.resize(std::min(text.size(), text.find(u'\0')));
    return platform::Utf16ToUtf8(text);
}

std::int32_t TRegistry::ReadInteger(const std::string& name) {
    const platform::RegValue value = registry_.QueryValue(currentKey_.Get(), name);
    if (value.status != 0)
        throw ERegistryException("Registry value '" + name + "' could not be read");
    if (value.type != platform::kRegDword || value.bytes.size() != 4)
        throw ERegistryException("Registry value '" + name + "' is not a 32-bit number");
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = number << 8 | static_cast<unsigned char>(value.bytes[i]);
    return static_cast<std::int32_t>(number);
}

// ---------------------------------------------------------------- string lists

TExRegistry::TExRegistry(platform::Registry& registry, platform::SystemMessages& messages,
                         std::uint32_t access)
    : TRegistry(registry, access), messages_(messages) {}

void TExRegistry::ReadStrings(const std::string& name, TStringList& strings) {
    strings.clear();
    const platform::RegValue value = registry_.QueryValue(CurrentKey(), name);
    if (value.status != 0)
        throw EExRegistryException::CreateError(messages_, value.status,
                                                "Unable read MULTI_SZ value");
    if (value.type != platform::kRegMultiSz) throw ERegistryException("String list expected");
    // The walk stops at the first empty string or at the end of the data,
    // so a list that lacks its final terminators still gives its strings.
    const std::u16string text = RegistryUtf16(value.bytes);
    std::size_t at = 0;
    while (at < text.size() && text[at] != u'\0') {
        const std::size_t end = std::min(text.size(), text.find(u'\0', at));
        strings.push_back(platform::Utf16ToUtf8(std::u16string_view(text).substr(at, end - at)));
        at = end + 1;
    }
}
