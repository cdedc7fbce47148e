#include "tests/win32/UiDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

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

std::string Utf8(const std::wstring& text) {
    std::string out(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(),
                                                                 static_cast<int>(text.size()),
                                                                 nullptr, 0, nullptr, nullptr)),
                    '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(),
                        static_cast<int>(out.size()), nullptr, nullptr);
    return out;
}

// A shell command line with Linux programs, started from Wine (which starts
// ELF programs through CreateProcess). Wine gives no handle to wait on for
// an ELF program, so the shell leaves the command's exit status in a file
// of its own when it ends.
class UnixCommand {
public:
    UnixCommand(std::string command, Where where) : command_(std::move(command)), where_(where) {
        static int serial = 0;
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        done_ = fs::path(temp) / (L"nv-ui-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(++serial) + L".status");
        const std::string doneUnix = UnixPath(done_);
        started_ = !doneUnix.empty() &&
                   Start(command_ + "; echo $? >'" + doneUnix + ".part'; mv '" + doneUnix +
                         ".part' '" + doneUnix + "'");
    }

    // The exit status once the command has ended.
    std::optional<int> Status() {
        if (!started_) return 127;
        if (status_) return status_;
        std::error_code ignored;
        if (!fs::exists(done_, ignored)) return std::nullopt;
        std::string text;
        if (FILE* f = _wfopen(done_.c_str(), L"rb")) {
            char buffer[16] = {};
            text.assign(buffer, fread(buffer, 1, sizeof buffer - 1, f));
            fclose(f);
        }
        fs::remove(done_, ignored);
        status_ = text.empty() ? -1 : std::atoi(text.c_str());
        return status_;
    }

    // Fails the test at the caller's line unless the command has ended with 0.
    bool Succeeded() {
        const std::optional<int> status = Status();
        if (status == 0) return true;
        ADD_FAILURE_AT(where_.file_name(), static_cast<int>(where_.line()))
            << "`" << command_ << "` "
            << (!started_ ? "could not be started"
                          : status ? "exited with status " + std::to_string(*status)
                                   : std::string("did not end in time"));
        return false;
    }

    // Waits for the end, letting the windows handle their messages meanwhile.
    bool Run(int timeoutMs) {
        PumpUntil([&] { return Status().has_value(); }, timeoutMs);
        return Succeeded();
    }

private:
    static bool Start(const std::string& script) {
        std::wstring line = L"/bin/sh -c \"";
        for (char c : script) {
            if (c == '"' || c == '\\') line += L'\\';
            line += static_cast<wchar_t>(static_cast<unsigned char>(c));
        }
        line += L'"';
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &pi))
            return false;
        if (pi.hThread) CloseHandle(pi.hThread);
        if (pi.hProcess) CloseHandle(pi.hProcess);
        return true;
    }

    std::string command_;
    Where where_;
    fs::path done_;
    bool started_ = false;
    std::optional<int> status_;
};

constexpr int kXdoToolTimeoutMs = 10000;
constexpr int kSettleLimitMs = 2000;

std::vector<std::unique_ptr<UnixCommand>>& DetachedCommands() {
    static std::vector<std::unique_ptr<UnixCommand>> commands;
    return commands;
}

POINT ToScreen(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return p;
}

std::wstring Point(HWND hwnd, int x, int y) {
    const POINT p = ToScreen(hwnd, x, y);
    return std::to_wstring(p.x) + L" " + std::to_wstring(p.y);
}

void XInput(const std::wstring& args, Where where) {
    XdoTool(args, where);
    Settle();
}

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

void Settle() { PumpUntil([] { return GetQueueStatus(QS_ALLINPUT) == 0; }, kSettleLimitMs); }

bool XdoTool(const std::wstring& args, Where where) {
    return UnixCommand("xdotool " + Utf8(args), where).Run(kXdoToolTimeoutMs);
}

void XMoveTo(HWND hwnd, int x, int y, Where where) {
    XInput(L"mousemove " + Point(hwnd, x, y), where);
}

void XClickAt(HWND hwnd, int x, int y, int button, Where where) {
    XInput(L"mousemove " + Point(hwnd, x, y) + L" click " + std::to_wstring(button), where);
}

void XButtonDown(int button, Where where) { XInput(L"mousedown " + std::to_wstring(button), where); }

void XButtonUp(int button, Where where) { XInput(L"mouseup " + std::to_wstring(button), where); }

void XKey(const std::wstring& keys, Where where) { XInput(L"key " + keys, where); }

void XKeyDown(const std::wstring& key, Where where) { XInput(L"keydown " + key, where); }

void XKeyUp(const std::wstring& key, Where where) { XInput(L"keyup " + key, where); }

void XType(const std::wstring& text, Where where) { XInput(TypeArguments(text), where); }

void XClickCenter(HWND hwnd, Where where) {
    RECT r;
    GetClientRect(hwnd, &r);
    XClickAt(hwnd, r.right / 2, r.bottom / 2, 1, where);
}

void XTypeDetached(const std::wstring& text, Where where) {
    DetachedCommands().push_back(
        std::make_unique<UnixCommand>("xdotool " + Utf8(TypeArguments(text)), where));
}

void XKeyDetached(const std::wstring& keys, Where where) {
    DetachedCommands().push_back(std::make_unique<UnixCommand>("xdotool key " + Utf8(keys), where));
}

void ReportDetachedInput(int waitMs) {
    auto& commands = DetachedCommands();
    const auto allEnded = [&] {
        for (auto& c : commands)
            if (!c->Status()) return false;
        return true;
    };
    if (waitMs > 0) PumpUntil(allEnded, waitMs);
    for (auto it = commands.begin(); it != commands.end();) {
        if (waitMs > 0 || (*it)->Status()) {
            (*it)->Succeeded();
            it = commands.erase(it);
        } else {
            ++it;
        }
    }
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

COLORREF WaitForPixel(HWND hwnd, int x, int y, COLORREF expected, int timeoutMs) {
    COLORREF seen = CLR_INVALID;
    PumpUntil([&] { return (seen = ScreenPixel(hwnd, x, y)) == expected; }, timeoutMs);
    return seen;
}

void SaveScreenshot(const std::wstring& name, Where where) {
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
    const std::string unix = UnixPath(folder / (name + L".png"));
    UnixCommand("import -window root '" + unix + "'", where).Run(20000);
}

std::wstring StaticTexts(HWND window) {
    std::wstring texts;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (lstrcmpiW(cls, L"Static") != 0) continue;
        wchar_t text[1024] = {};
        GetWindowTextW(child, text, 1024);
        texts += text;
    }
    return texts;
}

// ---------------------------------------------------------------- modal windows

namespace {

std::map<UINT_PTR, ModalDriver*>& Drivers() {
    static std::map<UINT_PTR, ModalDriver*> drivers;
    return drivers;
}

constexpr UINT kModalTickMs = 25;
constexpr ULONGLONG kModalPatienceMs = 20000;

}  // namespace

ModalDriver::ModalDriver(std::wstring windowClass, std::wstring caption, std::vector<Step> steps)
    : class_(std::move(windowClass)), caption_(std::move(caption)), steps_(std::move(steps)) {
    timer_ = SetTimer(nullptr, 0, kModalTickMs, &ModalDriver::OnTimer);
    Drivers()[timer_] = this;
}

ModalDriver::~ModalDriver() {
    KillTimer(nullptr, timer_);
    Drivers().erase(timer_);
    ReportDetachedInput(kXdoToolTimeoutMs);
}

void CALLBACK ModalDriver::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    const auto found = Drivers().find(id);
    if (found != Drivers().end()) found->second->Tick();
}

HWND ModalDriver::FindShown() const {
    struct Search {
        const ModalDriver* driver;
        HWND found;
    } search{this, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            wchar_t name[64] = {};
            GetClassNameW(hwnd, name, 64);
            wchar_t caption[256] = {};
            GetWindowTextW(hwnd, caption, 256);
            // A window that has ended is hidden at once and goes when its
            // loop returns.
            if (s.driver->class_ == name && IsWindowVisible(hwnd) &&
                (s.driver->caption_.empty() || s.driver->caption_ == caption)) {
                s.found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void ModalDriver::Tick() {
    if (inStep_) return;  // a step that waits lets messages run, and ticks come
    ReportDetachedInput(0);
    HWND window = FindShown();
    if (window == nullptr) return;
    if (window != window_) {
        window_ = window;
        ++shown_;
        next_ = 0;
        deadline_ = GetTickCount64() + kModalPatienceMs;
    }
    if (GetTickCount64() > deadline_) {
        leftOpen_ = true;
        deadline_ = GetTickCount64() + 1000;
        PostMessageW(window, WM_CLOSE, 0, 0);
        return;
    }
    if (next_ >= steps_.size()) return;
    inStep_ = true;
    if (steps_[next_](window)) ++next_;
    inStep_ = false;
}

ModalDriver::Step TypeInto(int controlId, const std::wstring& text, const std::wstring& shown,
                           Where where) {
    auto attempts = std::make_shared<int>(0);
    auto started = std::make_shared<ULONGLONG>(0);
    return [=](HWND window) {
        HWND control = GetDlgItem(window, controlId);
        wchar_t now[1024] = {};
        GetWindowTextW(control, now, 1024);
        if (shown == now) return true;
        const ULONGLONG patience = 3000 + 40 * text.size();
        if (*attempts > 0 && GetTickCount64() - *started < patience) return false;
        if (*attempts == 3) return false;
        SetWindowTextW(control, L"");
        ++*attempts;
        *started = GetTickCount64();
        XTypeDetached(text, where);
        return false;
    };
}

ModalDriver::Step Press(const std::wstring& keys, Where where) {
    auto attempts = std::make_shared<int>(0);
    auto pressed = std::make_shared<ULONGLONG>(0);
    return [=](HWND) {
        if (*attempts == 3 || (*attempts > 0 && GetTickCount64() - *pressed < 1500)) return false;
        ++*attempts;
        *pressed = GetTickCount64();
        XKeyDetached(keys, where);
        return false;
    };
}
