#pragma once
// What the Wine suite needs to act as a user: running the message loop for a
// bounded time, real mouse and keyboard input through the X display
// (xdotool, a Linux program that Wine starts like any other), reading pixels
// back from the screen, and keeping a screenshot of the display.
#include <windows.h>

#include <functional>
#include <string>

// Runs the message loop until pred holds or the time is up.
bool PumpUntil(const std::function<bool()>& pred, int timeoutMs);
void Pump(int ms);

// Runs xdotool with the arguments; true when it ran and exited with 0.
bool XdoTool(const std::wstring& args);

// Real input at a point of a window's client area. Each lets the window
// handle what arrives for a short, bounded time afterwards.
void XMoveTo(HWND hwnd, int x, int y);
void XClickAt(HWND hwnd, int x, int y, int button = 1);
void XButtonDown(int button = 1);
void XButtonUp(int button = 1);
// xdotool key names: "Return", "Escape", "space", "ctrl+a".
void XKey(const std::wstring& keys);
void XKeyDown(const std::wstring& key);
void XKeyUp(const std::wstring& key);
void XType(const std::wstring& text);
// The same input, started without waiting for it or handling any message:
// for a window that runs a modal loop of its own, as a dialog does, which
// alone turns Enter and Escape into OK and Cancel.
bool XTypeDetached(const std::wstring& text);
bool XKeyDetached(const std::wstring& keys);

// A click in the middle of a window, as a user presses a button.
void XClickCenter(HWND hwnd);

// The colour on the screen at a point of a window's client area.
COLORREF ScreenPixel(HWND hwnd, int x, int y);

// Keeps a screenshot of the whole display as a PNG (ImageMagick's import):
// the folder comes from NV_SCREENSHOTS when set, else "screenshots" beside
// the test program. Returns the file's path, or "" when none was made.
std::wstring SaveScreenshot(const std::wstring& name);
