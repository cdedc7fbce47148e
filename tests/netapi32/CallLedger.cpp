#include "tests/netapi32/CallLedger.h"

#include <algorithm>
#include <cwchar>

#include "tests/netapi32/NetworkScript.h"

namespace scripted {

std::wstring TextArgument(const wchar_t* name, const wchar_t* value) {
    return std::wstring(name) + (value ? L"=\"" + std::wstring(value) + L"\"" : L"=null");
}

std::wstring NumberArgument(const wchar_t* name, DWORD_PTR value) {
    return std::wstring(name) + L"=" + std::to_wstring(value);
}

std::wstring HexArgument(const wchar_t* name, DWORD value) {
    wchar_t digits[16];
    std::swprintf(digits, 16, L"0x%08X", static_cast<unsigned>(value));
    return std::wstring(name) + L"=" + digits;
}

void CallLedger::OpenLogFile(const std::wstring& path) {
    logFile_ = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void CallLedger::Record(const wchar_t* function, std::initializer_list<std::wstring> arguments) {
    std::wstring line = function;
    line += L"(";
    for (const auto& argument : arguments) {
        if (line.back() != L'(') line += L", ";
        line += argument;
    }
    Append(line + L")");
}

void CallLedger::Note(const std::wstring& line) { Append(line); }

void CallLedger::Append(const std::wstring& line) {
    calls_ += line + L"\n";
    if (logFile_ == INVALID_HANDLE_VALUE) return;
    const std::string bytes = ToUtf8(line + L"\n");
    DWORD written = 0;
    WriteFile(logFile_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring CallLedger::Calls() const { return calls_; }

void CallLedger::Clear() {
    calls_.clear();
    handedOut_ = freed_ = strayFrees_ = 0;
    // Buffers of an earlier script that are still out stay counted as out.
}

void* CallLedger::Allocate(std::size_t bytes) {
    void* buffer = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes ? bytes : 1);
    if (buffer == nullptr) return nullptr;
    outstanding_.push_back(buffer);
    ++handedOut_;
    return buffer;
}

bool CallLedger::Release(void* buffer) {
    const auto it = std::find(outstanding_.begin(), outstanding_.end(), buffer);
    if (it == outstanding_.end()) {
        ++strayFrees_;
        return false;
    }
    outstanding_.erase(it);
    HeapFree(GetProcessHeap(), 0, buffer);
    ++freed_;
    return true;
}

void CallLedger::WriteBufferCount() {
    Note(L"buffers: handed out " + std::to_wstring(handedOut_) + L", freed " +
         std::to_wstring(freed_) + L", stray frees " + std::to_wstring(strayFrees_) +
         L", still out " + std::to_wstring(outstanding_.size()));
}

}  // namespace scripted
