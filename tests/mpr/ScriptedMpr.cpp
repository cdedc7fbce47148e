// The scripted mpr.dll: the two connection functions that Network View calls,
// answered from the one account a test names, with every call recorded as
// the caller passed it (the password too), and where the last password lay,
// so that a test can look whether the caller wiped it after the call.
#include <windows.h>
#include <winnetwk.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

struct State {
    std::wstring calls;
    std::wstring user;
    std::wstring password;
    std::set<std::wstring> connected;
};

State& TheState() {
    static State state;
    return state;
}

std::wstring Quoted(const wchar_t* text) {
    return text ? L"\"" + std::wstring(text) + L"\"" : std::wstring(L"null");
}

std::wstring Number(const wchar_t* format, DWORD value) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, format, static_cast<unsigned long>(value));
    return buffer;
}

}  // namespace

// Where the password of the last WNetAddConnection2W call lay: read without
// a call, so that nothing runs on the stack between the connection call and
// the look.
extern "C" __declspec(dllexport) const wchar_t* ScriptedMprLastPassword = nullptr;

extern "C" DWORD WINAPI ScriptedAddConnection2W(NETRESOURCEW* resource, const wchar_t* password,
                                                const wchar_t* user, DWORD flags) {
    State& state = TheState();
    ScriptedMprLastPassword = password;
    state.calls += L"WNetAddConnection2W(type=" + Number(L"%lu", resource->dwType) +
                   L", local=" + Quoted(resource->lpLocalName) +
                   L", remote=" + Quoted(resource->lpRemoteName) +
                   L", provider=" + Quoted(resource->lpProvider) + L", password=" +
                   Quoted(password) + L", user=" + Quoted(user) +
                   L", flags=" + Number(L"0x%08lX", flags) + L")\n";
    if (!user || !password || state.user != user || state.password != password)
        return ERROR_LOGON_FAILURE;
    state.connected.insert(resource->lpRemoteName);
    return NO_ERROR;
}

extern "C" DWORD WINAPI ScriptedCancelConnection2W(const wchar_t* name, DWORD flags, BOOL force) {
    State& state = TheState();
    state.calls += L"WNetCancelConnection2W(name=" + Quoted(name) +
                   L", flags=" + Number(L"0x%08lX", flags) +
                   L", force=" + Number(L"%lu", static_cast<DWORD>(force)) + L")\n";
    return name && state.connected.erase(name) ? NO_ERROR : ERROR_NOT_CONNECTED;
}

// The account that connections are made with; the calls recorded are
// forgotten.
extern "C" void WINAPI ScriptedMprAccept(const wchar_t* user, const wchar_t* password) {
    TheState() = State{L"", user, password, {}};
}

extern "C" const wchar_t* WINAPI ScriptedMprCalls() { return TheState().calls.c_str(); }
