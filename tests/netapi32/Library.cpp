#include "tests/netapi32/Library.h"

#include <stdexcept>

namespace scripted {

namespace {

std::wstring Environment(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

std::string ReadWholeFile(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + ToUtf8(path) + " (error " +
                                 std::to_string(GetLastError()) + ")");
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

}  // namespace

Library& Library::Get() {
    // Never destroyed: the program's last calls may come while it ends.
    static Library* library = new Library;
    return *library;
}

void Library::Load(std::string_view script) {
    if (computer.empty()) {
        wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
        if (GetComputerNameW(name, &size)) computer.assign(name, size);
    }
    loaded = true;
    fault.clear();
    try {
        network = ReadNetwork(script, computer);
    } catch (const std::exception& e) {
        network = Network{};
        fault = FromUtf8(e.what());
        ledger.Note(L"script fault: " + fault);
    }
}

void Library::EnsureLoaded() {
    if (loaded) return;
    const std::wstring log = Environment(L"NV_SCRIPTED_NETWORK_LOG");
    if (!log.empty()) ledger.OpenLogFile(log);
    const std::wstring path = Environment(L"NV_SCRIPTED_NETWORK");
    try {
        Load(path.empty() ? std::string() : ReadWholeFile(path));
    } catch (const std::exception& e) {
        loaded = true;
        fault = FromUtf8(e.what());
        ledger.Note(L"script fault: " + fault);
    }
    if (!fault.empty()) {
        // Said where a person running the program sees it, too.
        const std::string line = "scripted netapi32: " + ToUtf8(fault) + "\n";
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()),
                  &written, nullptr);
    }
}

Call::Call(const wchar_t* function, std::initializer_list<std::wstring> arguments, LPBYTE* bufptr,
           LPDWORD read, LPDWORD total)
    : lib_(Library::Get()), lock_(lib_.mutex), function_(function), bufptr_(bufptr),
      read_(read), total_(total) {
    lib_.EnsureLoaded();
    lib_.ledger.Record(function, arguments);
    if (bufptr_) *bufptr_ = nullptr;
    Counts(0, 0);
}

DWORD Call::Prelude(Behaviour* own, DWORD level, std::size_t recordBytes) {
    if (!lib_.fault.empty()) return ERROR_BAD_CONFIGURATION;
    const std::wstring function = function_;
    if (own) ++own->callsSeen[function];
    ++lib_.network.behaviour.callsSeen[function];
    std::optional<DWORD> delay = own ? own->DelayOf(function) : std::nullopt;
    if (!delay) delay = lib_.network.behaviour.DelayOf(function);
    if (delay && *delay > 0) {
        lock_.unlock();
        Sleep(*delay);
        lock_.lock();
    }
    const Failure* failure = own ? own->FailureOf(function, level) : nullptr;
    if (failure == nullptr) failure = lib_.network.behaviour.FailureOf(function, level);
    if (failure == nullptr) return NERR_Success;
    if (failure->handsOutBuffer && bufptr_) *bufptr_ = static_cast<LPBYTE>(lib_.ledger.Allocate(recordBytes));
    return failure->status;
}

std::optional<DWORD> Call::PartSize(const Behaviour& own) const {
    const std::wstring function = function_;
    const auto size = own.PartSizeOf(function);
    return size ? size : lib_.network.behaviour.PartSizeOf(function);
}

Machine* Call::Find(const wchar_t* server) {
    return lib_.network.FindMachine(server, lib_.computer);
}

}  // namespace scripted
