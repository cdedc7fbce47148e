#pragma once
// The main window on a real message loop, as the Wine suite opens it: the
// test program posing as NetworkView.exe in a folder of its own, with the
// real Win32 seam or a scripted network behind it, and helpers that find and
// click tree items as a user would.
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

inline void ClickItem(HWND tree, HTREEITEM item) {
    RECT r{};
    TreeView_GetItemRect(tree, item, &r, TRUE);
    XClickAt(tree, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The expand button lies left of the item's text.
inline void ClickButtonOf(HWND tree, HTREEITEM item) {
    RECT r{};
    TreeView_GetItemRect(tree, item, &r, TRUE);
    const int indent = static_cast<int>(TreeView_GetIndent(tree));
    XClickAt(tree, r.left - indent / 2 - 1, (r.top + r.bottom) / 2);
}

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

    // The window on the real Win32 seam, or on the scripted network.
    void Open(platform::NetApi* net = nullptr) {
        form_ = std::make_unique<TNetworkViewerWin32>(TNetworkViewerPlatform{
            net ? *net : os_.net, os_.messages, *program_, os_.files, os_.locale, os_.registry,
            os_.shell, os_.services});
        ASSERT_NE(form_->Create(GetModuleHandleW(nullptr)), nullptr);
        ShowWindow(form_->Handle(), SW_SHOW);
        UpdateWindow(form_->Handle());
    }
    bool WaitForTree() {
        return PumpUntil([&] { return IsWindowVisible(form_->Tree()) != FALSE; }, 5000);
    }
    HWND Tree() { return form_->Tree(); }

    std::string LocalComputerName() {
        wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
        DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
        GetComputerNameW(name, &size);
        return Narrow(name);
    }

    platform::win32::Win32Platform os_;
    fs::path folder_;
    std::unique_ptr<RelocatedProgram> program_;
    std::unique_ptr<TNetworkViewerWin32> form_;
};
