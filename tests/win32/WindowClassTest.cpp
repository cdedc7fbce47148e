// The pieces every window of ours shares: the window procedure that leads to
// the object a window stands for, and the click that a button would make.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "toolkit/win32/WindowClass.h"

namespace {

constexpr wchar_t kClassName[] = L"NvObjectWindowTest";

struct Watcher {
    HWND hwnd = nullptr;
    HWND knownAtNcCreate = nullptr;
    std::vector<UINT> heard;

    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE) knownAtNcCreate = hwnd;
        heard.push_back(msg);
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
};

HWND CreateWatched(Watcher* watcher) {
    EnsureWindowClass(GetModuleHandleW(nullptr), kClassName,
                      ObjectWindowProc<Watcher, &Watcher::hwnd, &Watcher::Handle>);
    return CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleW(nullptr), watcher);
}

TEST(ObjectWindowProc, TheObjectHearsItsWindowFromNcCreateToNcDestroy) {
    Watcher watcher;
    HWND hwnd = CreateWatched(&watcher);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(watcher.knownAtNcCreate, hwnd);
    EXPECT_EQ(watcher.heard.front(), static_cast<UINT>(WM_NCCREATE));
    SendMessageW(hwnd, WM_APP + 7, 0, 0);
    EXPECT_EQ(watcher.heard.back(), static_cast<UINT>(WM_APP + 7));

    DestroyWindow(hwnd);
    EXPECT_EQ(watcher.heard.back(), static_cast<UINT>(WM_NCDESTROY));
    EXPECT_EQ(watcher.hwnd, nullptr);
}

// A window of the class made without an object gets the default handling.
TEST(ObjectWindowProc, AWindowWithoutAnObjectIsHandledByDefault) {
    HWND hwnd = CreateWatched(nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0);
    EXPECT_TRUE(DestroyWindow(hwnd));
}

// What an object's handler throws stays on our side of the system's frames:
// the window procedure answers by default, the subclass procedure passes the
// message on to the window's own.
TEST(ObjectWindowProc, AHandlerThatThrowsLetsNoExceptionThroughTheSystem) {
    struct Thrower {
        HWND hwnd = nullptr;
        bool subclass = false;
        LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) {
            if (msg == WM_APP) throw Exception("handler failed");
            if (msg == WM_GETTEXTLENGTH) throw 42;
            return subclass ? DefSubclassProc(hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
        }
    };
    Thrower own;
    EnsureWindowClass(GetModuleHandleW(nullptr), L"NvThrowingWindowTest",
                      ObjectWindowProc<Thrower, &Thrower::hwnd, &Thrower::Handle>);
    HWND hwnd = CreateWindowExW(0, L"NvThrowingWindowTest", L"four", WS_POPUP, 0, 0, 10, 10,
                                nullptr, nullptr, GetModuleHandleW(nullptr), &own);
    ASSERT_NE(hwnd, nullptr);
    LRESULT answer = -1;
    EXPECT_NO_THROW(answer = SendMessageW(hwnd, WM_APP, 0, 0));
    EXPECT_EQ(answer, 0);  // DefWindowProc's answer to a message of the program
    EXPECT_NO_THROW(answer = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_EQ(answer, 4);

    // A subclassed edit: the edit answers what the watcher failed on.
    Thrower watcher;
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    watcher.hwnd = edit;
    watcher.subclass = true;
    SetWindowSubclass(edit, ObjectSubclassProc<Thrower, &Thrower::Handle>, 1,
                      reinterpret_cast<DWORD_PTR>(&watcher));
    EXPECT_NO_THROW(answer = SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc")));
    EXPECT_NO_THROW(answer = SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_EQ(answer, 3);
    DestroyWindow(edit);
    EXPECT_TRUE(DestroyWindow(hwnd));
}

TEST(ClickTracker, OnlyAPressReleasedOverTheWindowIsAClick) {
    struct Step {
        UINT msg;
        int x;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        bool clicked;
    } cases[] = {
        {"press and release inside", {{WM_LBUTTONDOWN, 5}, {WM_LBUTTONUP, 5}}, true},
        {"released off the window", {{WM_LBUTTONDOWN, 5}, {WM_LBUTTONUP, 50}}, false},
        {"release without a press", {{WM_LBUTTONUP, 5}}, false},
        {"capture lost before the release",
         {{WM_LBUTTONDOWN, 5}, {WM_CAPTURECHANGED, 0}, {WM_LBUTTONUP, 5}},
         false},
    };
    Watcher watcher;
    HWND hwnd = CreateWatched(&watcher);
    ASSERT_NE(hwnd, nullptr);
    for (const Case& c : cases) {
        TClickTracker tracker;
        bool clicked = false;
        for (const Step& step : c.steps)
            EXPECT_TRUE(tracker.Follow(hwnd, step.msg, MAKELPARAM(step.x, 5), clicked)) << c.name;
        EXPECT_EQ(clicked, c.clicked) << c.name;
    }
    bool clicked = true;
    TClickTracker tracker;
    EXPECT_FALSE(tracker.Follow(hwnd, WM_MOUSEMOVE, MAKELPARAM(5, 5), clicked));
    EXPECT_FALSE(clicked);
    DestroyWindow(hwnd);
}

}  // namespace
