#pragma once
// NetworkView.exe's main window as another process sees it: the controls a
// user looks at, found by their class, and the tree view's items read
// through a block of memory in the program's own process (a tree view's
// messages carry pointers, which only mean something there).
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

class RemoteWindow {
public:
    RemoteWindow() = default;  // no window
    // The visible main window of the process, or no window.
    static RemoteWindow Find(HANDLE process);
    ~RemoteWindow();
    RemoteWindow(RemoteWindow&& other) noexcept;
    RemoteWindow& operator=(RemoteWindow&& other) noexcept;

    explicit operator bool() const { return main_ != nullptr; }
    HWND Main() const { return main_; }
    HWND Tree() const { return tree_; }
    HWND ActionButton() const { return action_; }

    // The items of the tree's root level (parent null) or of an item.
    std::vector<HTREEITEM> Children(HTREEITEM parent) const;
    std::vector<std::wstring> ChildTexts(HTREEITEM parent) const;
    // The child whose text is `text`, or null.
    HTREEITEM Child(HTREEITEM parent, const std::wstring& text) const;
    std::wstring ItemText(HTREEITEM item) const;
    bool Expanded(HTREEITEM item) const;
    // Scrolls the item into view; the rectangle of its text on the screen.
    RECT ItemOnScreen(HTREEITEM item) const;
    int Indent() const;

    std::wstring DetailText() const;  // the detail panel's text
    std::wstring StatusText() const;  // the status bar's simple text
    std::wstring ActionCaption() const;
    bool ActionShown() const;

private:
    LRESULT Send(HWND to, UINT msg, WPARAM wp, LPARAM lp) const;
    void Write(std::size_t offset, const void* data, std::size_t size) const;
    void Read(const void* from, void* data, std::size_t size) const;
    std::wstring ReadText(const void* from, std::size_t maxChars) const;
    char* Remote(std::size_t offset) const { return static_cast<char*>(memory_) + offset; }

    HANDLE process_ = nullptr;
    void* memory_ = nullptr;  // in the program's process
    HWND main_ = nullptr;
    HWND tree_ = nullptr;
    HWND detail_ = nullptr;
    HWND status_ = nullptr;
    HWND action_ = nullptr;
};
