#include "tests/win32/UiDriver.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The Unix path of a file, for the Linux programs below.
std::string UnixPath(const fs::path& file) {
    using ToUnix = char* (*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr) return {};
    char* path = toUnix(file.c_str());
    if (path == nullptr) return {};
    std::string unix(path);
    HeapFree(GetProcessHeap(), 0, path);
    return unix;
}

// Starts a shell command line with Linux programs (Wine starts ELF programs
// through CreateProcess).
bool StartUnixCommand(const std::string& script) {
    std::wstring line = L"/bin/sh -c \"";
    for (char c : script) {
        if (c == '"' || c == '\\') line += L'\\';
        line += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    line += L'"';
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    return true;
}

// Runs a shell command line with Linux programs and waits for it, letting
// the windows handle their messages meanwhile. Wine gives no handle to wait
// on for an ELF program, so the shell leaves the command's exit status in a
// file of its own when it ends.
bool RunUnixCommand(const std::string& command, int timeoutMs) {
    static int serial = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const fs::path done = fs::path(temp) / (L"nv-ui-" + std::to_wstring(GetCurrentProcessId()) +
                                            L"-" + std::to_wstring(++serial) + L".status");
    const std::string doneUnix = UnixPath(done);
    if (doneUnix.empty()) return false;
    const std::string script =
        command + "; echo $? >'" + doneUnix + ".part'; mv '" + doneUnix + ".part' '" + doneUnix + "'";
    if (!StartUnixCommand(script)) return false;
    std::error_code ignored;
    const bool ended = PumpUntil([&] { return fs::exists(done, ignored); }, timeoutMs);
    if (!ended) return false;
    std::string status;
    if (FILE* f = _wfopen(done.c_str(), L"rb")) {
        char buffer[16] = {};
        status.assign(buffer, fread(buffer, 1, sizeof buffer - 1, f));
        fclose(f);
    }
    fs::remove(done, ignored);
    return status.rfind("0", 0) == 0;
}

std::string Utf8(const std::wstring& text) {
    std::string out(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(),
                                                                 static_cast<int>(text.size()),
                                                                 nullptr, 0, nullptr, nullptr)),
                    '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(),
                        static_cast<int>(out.size()), nullptr, nullptr);
    return out;
}

POINT ToScreen(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

// Long enough for the X server's events to reach the window.
constexpr int kSettleMs = 120;

}  // namespace

bool PumpUntil(const std::function<bool()>& pred, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (pred()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void Pump(int ms) { PumpUntil([] { return false; }, ms); }

bool XdoTool(const std::wstring& args) { return RunUnixCommand("xdotool " + Utf8(args), 10000); }

void XMoveTo(HWND hwnd, int x, int y) {
    const POINT p = ToScreen(hwnd, x, y);
    XdoTool(L"mousemove " + std::to_wstring(p.x) + L" " + std::to_wstring(p.y));
    Pump(kSettleMs);
}

void XClickAt(HWND hwnd, int x, int y, int button) {
    const POINT p = ToScreen(hwnd, x, y);
    XdoTool(L"mousemove " + std::to_wstring(p.x) + L" " + std::to_wstring(p.y) + L" click " +
            std::to_wstring(button));
    Pump(kSettleMs);
}

void XButtonDown(int button) {
    XdoTool(L"mousedown " + std::to_wstring(button));
    Pump(kSettleMs);
}

void XButtonUp(int button) {
    XdoTool(L"mouseup " + std::to_wstring(button));
    Pump(kSettleMs);
}

void XKey(const std::wstring& keys) {
    XdoTool(L"key " + keys);
    Pump(kSettleMs);
}

void XKeyDown(const std::wstring& key) {
    XdoTool(L"keydown " + key);
    Pump(kSettleMs);
}

void XKeyUp(const std::wstring& key) {
    XdoTool(L"keyup " + key);
    Pump(kSettleMs);
}

namespace {

std::wstring TypeArguments(const std::wstring& text) {
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') quoted += L'\\';
        quoted += c;
    }
    quoted += L'"';
    return L"type --delay 15 " + quoted;
}

}  // namespace

void XType(const std::wstring& text) {
    XdoTool(TypeArguments(text));
    Pump(kSettleMs);
}

bool XTypeDetached(const std::wstring& text) {
    return StartUnixCommand("xdotool " + Utf8(TypeArguments(text)));
}

bool XKeyDetached(const std::wstring& keys) { return StartUnixCommand("xdotool key " + Utf8(keys)); }

void XClickCenter(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    XClickAt(hwnd, r.right / 2, r.bottom / 2);
}

COLORREF ScreenPixel(HWND hwnd, int x, int y) {
    const POINT p = ToScreen(hwnd, x, y);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 1, 1);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, 1, 1, screen, p.x, p.y, SRCCOPY);
    const COLORREF colour = GetPixel(memory, 0, 0);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return colour;
}

std::wstring SaveScreenshot(const std::wstring& name) {
    fs::path folder;
    wchar_t fromEnv[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"NV_SCREENSHOTS", fromEnv, MAX_PATH) > 0) {
        folder = fromEnv;
    } else {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        folder = fs::path(self).parent_path() / L"screenshots";
    }
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    const fs::path file = folder / (name + L".png");
    const std::string unix = UnixPath(file);
    if (unix.empty()) return L"";
    return RunUnixCommand("import -window root '" + unix + "'", 20000) ? file.wstring() : L"";
}
