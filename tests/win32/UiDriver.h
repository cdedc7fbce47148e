#pragma once
// What the Wine suite needs to act as a user: running the message loop until
// something holds, real mouse and keyboard input through the X display
// (xdotool, a Linux program that Wine starts like any other), the modal
// windows that input opens, reading pixels back from the screen, and keeping
// a screenshot of the display.
//
// A Linux program that fails (xdotool, ImageMagick's import) fails the test
// at the line that asked for it, with the command and its exit status.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <source_location>
#include <string>
#include <vector>

using Where = std::source_location;

// Runs the message loop until pred holds or the time is up.
bool PumpUntil(const std::function<bool()>& pred, int timeoutMs);
// Runs the message loop for a fixed time: only for what must last (a look
// that holds while a key is held), never to wait for something to happen.
void Pump(int ms);
// Lets this thread's windows handle everything that has reached them: the
// message loop runs until the queue is empty (bounded). When xdotool has
// ended, the X server has sent its input; Wine turns it into messages the
// next time the thread finds its queue empty.
void Settle();

// Runs xdotool with the arguments and waits for it to end.
bool XdoTool(const std::wstring& args, Where where = Where::current());

// Real input at a point of a window's client area; each settles afterwards.
void XMoveTo(HWND hwnd, int x, int y, Where where = Where::current());
void XClickAt(HWND hwnd, int x, int y, int button = 1, Where where = Where::current());
void XButtonDown(int button = 1, Where where = Where::current());
void XButtonUp(int button = 1, Where where = Where::current());
// xdotool key names: "Return", "Escape", "space", "ctrl+a".
void XKey(const std::wstring& keys, Where where = Where::current());
void XKeyDown(const std::wstring& key, Where where = Where::current());
void XKeyUp(const std::wstring& key, Where where = Where::current());
void XType(const std::wstring& text, Where where = Where::current());
// A click in the middle of a window, as a user presses a button.
void XClickCenter(HWND hwnd, Where where = Where::current());

// The same input, started without waiting for it or handling any message:
// for a window that runs a modal loop of its own, as a dialog does, which
// alone turns Enter and Escape into OK and Cancel. A failure is reported
// once the command has ended (see ReportDetachedInput).
void XTypeDetached(const std::wstring& text, Where where = Where::current());
void XKeyDetached(const std::wstring& keys, Where where = Where::current());
// Reports the detached commands that have ended with a failure, after
// waiting up to waitMs (letting messages run) for those still running.
void ReportDetachedInput(int waitMs);

// The colour on the screen at a point of a window's client area.
COLORREF ScreenPixel(HWND hwnd, int x, int y);
// Waits (bounded) until the pixel has the colour; returns the colour it had
// last, for the test to compare.
COLORREF WaitForPixel(HWND hwnd, int x, int y, COLORREF expected, int timeoutMs = 2000);

// Keeps a screenshot of the whole display as a PNG (ImageMagick's import):
// the folder comes from NV_SCREENSHOTS when set, else "screenshots" beside
// the test program.
void SaveScreenshot(const std::wstring& name, Where where = Where::current());

// The texts of a window's static controls: what a message box says.
std::wstring StaticTexts(HWND window);

// Drives the modal windows a test's action opens: a dialog, a message box,
// the about box. Such a window runs a message loop of its own until it ends,
// and the test's code does not run again before that; so the steps run from
// a timer of this thread, which every message loop fires. At each tick the
// current step is tried until it says it is done. A step that is input for
// the window starts it detached, so that the window's own loop handles it.
// Every window that shows anew gets the steps from the first; one still open
// 20 s after it showed is closed, so that the test ends, and is counted as
// left open.
class ModalDriver {
public:
    using Step = std::function<bool(HWND window)>;

    // Top-level windows of this thread of the class (and of the caption,
    // unless it is empty) that are shown.
    ModalDriver(std::wstring windowClass, std::wstring caption, std::vector<Step> steps);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    int Shown() const { return shown_; }
    bool LeftOpen() const { return leftOpen_; }
    // The steps done for the window shown last.
    std::size_t StepsDone() const { return next_; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD);
    void Tick();
    HWND FindShown() const;

    std::wstring class_;
    std::wstring caption_;
    std::vector<Step> steps_;
    UINT_PTR timer_ = 0;
    HWND window_ = nullptr;
    int shown_ = 0;
    bool leftOpen_ = false;
    bool inStep_ = false;
    std::size_t next_ = 0;
    ULONGLONG deadline_ = 0;
};

// Steps for a dialog. Types the text into the dialog's control until the
// control shows what a user would see (the typed text, cut to the control's
// limit); on a busy machine the X server may drop keys of a fast typist, so
// the control is emptied and the text typed again, up to three times.
ModalDriver::Step TypeInto(int controlId, const std::wstring& text, const std::wstring& shown,
                           Where where = Where::current());
// Presses the keys; should the window still be open a moment later (a lost
// key), presses them again, up to three times.
ModalDriver::Step Press(const std::wstring& keys, Where where = Where::current());
