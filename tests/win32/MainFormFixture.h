#pragma once
// The main window on a real message loop, the one way the Wine suite opens
// it: the test program posing as NetworkView.exe in a folder of its own (so
// that its ips.txt stays there), with the real Win32 seam behind it or, in
// its place, a scripted network, registry or shell; and helpers that find
// and click tree items as a user would.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <lm.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MainLayout.h"
#include "app/win32/MainForm.h"
#include "platform/win32/Win32Platform.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedNetwork.h"
#include "tests/win32/UiDriver.h"

using platform::win32::Narrow;
using platform::win32::Wide;

namespace fs = std::filesystem;

// The test program posing as a program in a folder of its own, so that its
// ips.txt stays there; its version is the test program's own.
class RelocatedProgram : public platform::VersionResource {
public:
    explicit RelocatedProgram(std::string path) : path_(std::move(path)) {}
    std::string ModuleFileName() override { return path_; }
    std::optional<platform::FixedFileVersion> FileVersion(const std::string& path) override {
        return real_.FileVersion(path == path_ ? real_.ModuleFileName() : path);
    }

private:
    std::string path_;
    platform::win32::VersionResourceWin32 real_;
};

inline TBounds BoundsIn(HWND child, HWND parent) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

inline std::string WindowText(HWND hwnd) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(hwnd, buffer, 1024);
    return Narrow(buffer);
}

inline std::string LocalComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(name, &size);
    return Narrow(name);
}

inline std::string ItemText(HWND tree, HTREEITEM item) {
    wchar_t buffer[512] = {};
    TVITEMW tvi{};
    tvi.mask = TVIF_TEXT;
    tvi.hItem = item;
    tvi.pszText = buffer;
    tvi.cchTextMax = 512;
    TreeView_GetItem(tree, &tvi);
    return Narrow(buffer);
}

inline std::vector<std::string> ChildTexts(HWND tree, HTREEITEM parent) {
    std::vector<std::string> texts;
    for (HTREEITEM i = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree); i;
         i = TreeView_GetNextSibling(tree, i))
        texts.push_back(ItemText(tree, i));
    return texts;
}

inline HTREEITEM FindItem(HWND tree, HTREEITEM parent, const std::string& text) {
    for (HTREEITEM i = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree); i;
         i = TreeView_GetNextSibling(tree, i))
        if (ItemText(tree, i) == text) return i;
    return nullptr;
}

inline void ClickItem(HWND tree, HTREEITEM item, Where where = Where::current()) {
    RECT r{};
    TreeView_GetItemRect(tree, item, &r, TRUE);
    XClickAt(tree, (r.left + r.right) / 2, (r.top + r.bottom) / 2, 1, where);
}

// The expand button lies left of the item's text.
inline void ClickButtonOf(HWND tree, HTREEITEM item, Where where = Where::current()) {
    RECT r{};
    TreeView_GetItemRect(tree, item, &r, TRUE);
    const int indent = static_cast<int>(TreeView_GetIndent(tree));
    XClickAt(tree, r.left - indent / 2 - 1, (r.top + r.bottom) / 2, 1, where);
}

// What the main window meets in place of the system's own; each left out
// is the system's.
struct StandIns {
    platform::NetApi* net = nullptr;
    platform::Registry* registry = nullptr;
    platform::Shell* shell = nullptr;
};

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = fs::path(temp) / (L"nv-form-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(GetTickCount()));
        fs::create_directories(folder_);
        program_ = std::make_unique<RelocatedProgram>(Narrow((folder_ / L"NetworkView.exe").wstring()));
    }
    void TearDown() override {
        form_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    void WriteIps(const std::string& bytes) {
        HANDLE f = CreateFileW((folder_ / L"ips.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(f);
    }
    std::string ReadIps() {
        const auto read = os_.files.ReadFile(Narrow((folder_ / L"ips.txt").wstring()));
        return read.error == 0 ? read.bytes : "<missing>";
    }

    void Open(StandIns standIns = {}) {
        form_ = std::make_unique<TNetworkViewerWin32>(TNetworkViewerPlatform{
            standIns.net ? *standIns.net : os_.net, os_.messages, *program_, os_.files,
            os_.locale, standIns.registry ? *standIns.registry : os_.registry,
            standIns.shell ? *standIns.shell : os_.shell, os_.services});
        ASSERT_NE(form_->Create(GetModuleHandleW(nullptr)), nullptr);
        ShowWindow(form_->Handle(), SW_SHOW);
        UpdateWindow(form_->Handle());
    }
    // The tree shows once the start timer has built it; waits until it is
    // on the screen.
    bool WaitForTree() {
        if (!PumpUntil([&] { return IsWindowVisible(form_->Tree()) != FALSE; }, 5000)) return false;
        Settle();
        return true;
    }
    HWND Tree() { return form_->Tree(); }
    bool CloseWindow() {
        PostMessageW(form_->Handle(), WM_CLOSE, 0, 0);
        return PumpUntil([&] { return form_->Handle() == nullptr; }, 3000);
    }

    platform::win32::Win32Platform os_;
    fs::path folder_;
    std::unique_ptr<RelocatedProgram> program_;
    std::unique_ptr<TNetworkViewerWin32> form_;
};
