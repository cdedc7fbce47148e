#pragma once
// What the scripted netapi32.dll saw: every call with the arguments as the
// caller passed them, one line each, in the order they came, and every buffer
// it handed out and got back. The lines go to the log file that
// NV_SCRIPTED_NETWORK_LOG names as well, so that a test can read what a whole
// program asked; when the program ends the file gets the buffer count.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace scripted {

// One argument of a call line: name=value.
std::wstring TextArgument(const wchar_t* name, const wchar_t* value);  // "..." or null
std::wstring NumberArgument(const wchar_t* name, DWORD_PTR value);
std::wstring HexArgument(const wchar_t* name, DWORD value);  // 0x%08X

template <typename Handle>
std::wstring ResumeArgument(const wchar_t* name, const Handle* handle) {
    return handle ? NumberArgument(name, static_cast<DWORD_PTR>(*handle))
                  : std::wstring(name) + L"=null";
}

class CallLedger {
public:
    void OpenLogFile(const std::wstring& path);
    // Adds "Function(arg, arg, ...)".
    void Record(const wchar_t* function, std::initializer_list<std::wstring> arguments);
    void Note(const std::wstring& line);  // a line that is not a call (a script fault)
    std::wstring Calls() const;           // every line since Clear, each ended by '\n'
    void Clear();

    // Buffers as NetApiBufferAllocate hands them out and NetApiBufferFree
    // takes them back; a pointer the library never handed out (or handed out
    // and got back already) counts as a stray free.
    void* Allocate(std::size_t bytes);
    bool Release(void* buffer);
    DWORD HandedOut() const { return handedOut_; }
    DWORD Freed() const { return freed_; }
    DWORD StrayFrees() const { return strayFrees_; }
    void WriteBufferCount();  // to the log file, as the program ends

private:
    void Append(const std::wstring& line);

    std::wstring calls_;
    HANDLE logFile_ = INVALID_HANDLE_VALUE;
    std::vector<void*> outstanding_;
    DWORD handedOut_ = 0;
    DWORD freed_ = 0;
    DWORD strayFrees_ = 0;
};

}  // namespace scripted
