#include "tests/scripted/RemoteWindow.h"

#include <cwctype>
#include <utility>

namespace {

constexpr std::size_t kMemoryBytes = 64 * 1024;
constexpr std::size_t kTextOffset = 1024;
constexpr std::size_t kTextChars = 4096;

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    std::wstring text = name;
    for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring TitleOf(HWND hwnd) {
    wchar_t title[256] = {};
    GetWindowTextW(hwnd, title, 256);
    return title;
}

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMain(HWND hwnd, LPARAM lp) {
    auto& search = *reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search.processId || !IsWindowVisible(hwnd) || TitleOf(hwnd).rfind(L"Network View", 0) != 0)
        return TRUE;
    search.found = hwnd;
    return FALSE;
}

}  // namespace

RemoteWindow RemoteWindow::Find(HANDLE process) {
    RemoteWindow window;
    Search search{GetProcessId(process), nullptr};
    EnumWindows(FindMain, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) return window;
    window.process_ = process;
    window.main_ = search.found;
    EnumChildWindows(
        search.found,
        [](HWND child, LPARAM lp) -> BOOL {
            auto& w = *reinterpret_cast<RemoteWindow*>(lp);
            const std::wstring cls = ClassOf(child);
            if (cls == L"systreeview32") w.tree_ = child;
            if (cls == L"edit") w.detail_ = child;
            if (cls == L"msctls_statusbar32") w.status_ = child;
            if (cls == L"button" && TitleOf(child) != L"About") w.action_ = child;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&window));
    window.memory_ = VirtualAllocEx(process, nullptr, kMemoryBytes, MEM_COMMIT | MEM_RESERVE,
                                    PAGE_READWRITE);
    if (window.memory_ == nullptr || window.tree_ == nullptr) window.main_ = nullptr;
    return window;
}

RemoteWindow::~RemoteWindow() {
    if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
}

RemoteWindow::RemoteWindow(RemoteWindow&& other) noexcept { *this = std::move(other); }

RemoteWindow& RemoteWindow::operator=(RemoteWindow&& other) noexcept {
    std::swap(process_, other.process_);
    std::swap(memory_, other.memory_);
    main_ = other.main_;
    tree_ = other.tree_;
    detail_ = other.detail_;
    status_ = other.status_;
    action_ = other.action_;
    return *this;
}

LRESULT RemoteWindow::Send(HWND to, UINT msg, WPARAM wp, LPARAM lp) const {
    DWORD_PTR result = 0;
    // A fill in progress keeps the program from answering for a while.
    SendMessageTimeoutW(to, msg, wp, lp, SMTO_NORMAL, 20000, &result);
    return static_cast<LRESULT>(result);
}

void RemoteWindow::Write(std::size_t offset, const void* data, std::size_t size) const {
    SIZE_T done = 0;
    WriteProcessMemory(process_, Remote(offset), data, size, &done);
}

void RemoteWindow::Read(const void* from, void* data, std::size_t size) const {
    SIZE_T done = 0;
    ReadProcessMemory(process_, from, data, size, &done);
}

std::wstring RemoteWindow::ReadText(const void* from, std::size_t maxChars) const {
    std::wstring text(maxChars, L'\0');
    Read(from, text.data(), maxChars * sizeof(wchar_t));
    text.resize(text.find(L'\0') == std::wstring::npos ? maxChars : text.find(L'\0'));
    return text;
}

std::vector<HTREEITEM> RemoteWindow::Children(HTREEITEM parent) const {
    std::vector<HTREEITEM> items;
    auto next = [&](UINT flag, HTREEITEM from) {
        return reinterpret_cast<HTREEITEM>(Send(tree_, TVM_GETNEXTITEM, flag, reinterpret_cast<LPARAM>(from)));
    };
    for (HTREEITEM i = parent ? next(TVGN_CHILD, parent) : next(TVGN_ROOT, nullptr); i;
         i = next(TVGN_NEXT, i))
        items.push_back(i);
    return items;
}

std::vector<std::wstring> RemoteWindow::ChildTexts(HTREEITEM parent) const {
    std::vector<std::wstring> texts;
    for (HTREEITEM item : Children(parent)) texts.push_back(ItemText(item));
    return texts;
}

HTREEITEM RemoteWindow::Child(HTREEITEM parent, const std::wstring& text) const {
    for (HTREEITEM item : Children(parent))
        if (ItemText(item) == text) return item;
    return nullptr;
}

std::wstring RemoteWindow::ItemText(HTREEITEM item) const {
    TVITEMW tvi{};
    tvi.mask = TVIF_TEXT | TVIF_HANDLE;
    tvi.hItem = item;
    tvi.pszText = reinterpret_cast<wchar_t*>(Remote(kTextOffset));
    tvi.cchTextMax = static_cast<int>(kTextChars);
    Write(0, &tvi, sizeof tvi);
    Write(kTextOffset, L"", sizeof(wchar_t));
    if (!Send(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(Remote(0)))) return L"";
    Read(Remote(0), &tvi, sizeof tvi);
    return ReadText(tvi.pszText, 256);
}

bool RemoteWindow::Expanded(HTREEITEM item) const {
    return (Send(tree_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
}

RECT RemoteWindow::ItemOnScreen(HTREEITEM item) const {
    Send(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    // The message takes the item in the rectangle's place.
    RECT r{};
    Write(0, &r, sizeof r);
    Write(0, &item, sizeof item);
    Send(tree_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(Remote(0)));
    Read(Remote(0), &r, sizeof r);
    MapWindowPoints(tree_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int RemoteWindow::Indent() const { return static_cast<int>(Send(tree_, TVM_GETINDENT, 0, 0)); }

std::wstring RemoteWindow::DetailText() const {
    // WM_GETTEXT is one of the messages the system carries between processes.
    std::wstring text(kTextChars, L'\0');
    DWORD_PTR length = 0;
    SendMessageTimeoutW(detail_, WM_GETTEXT, kTextChars, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_NORMAL, 20000, &length);
    text.resize(length);
    return text;
}

std::wstring RemoteWindow::StatusText() const {
    Write(kTextOffset, L"", sizeof(wchar_t));
    Send(status_, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(Remote(kTextOffset)));
    return ReadText(Remote(kTextOffset), kTextChars);
}

std::wstring RemoteWindow::ActionCaption() const { return TitleOf(action_); }

bool RemoteWindow::ActionShown() const { return IsWindowVisible(action_) != FALSE; }
