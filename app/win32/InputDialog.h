#pragma once
// The program's one-line input dialog (Win32 has no ready-made one): a
// caption, a prompt, an edit and OK and Cancel, from the dialog template in
// the program's resources. Enter chooses OK, Escape Cancel; the edit has the
// focus when the dialog opens.
#include <windows.h>

#include <string>

// Shows the dialog modally over owner. The edit starts with value and takes
// at most maxChars characters. True, with the edit's text in value, when the
// user chose OK; false and value unchanged otherwise. Raises an Exception
// when the dialog cannot be made.
bool RunInputDialog(HWND owner, const std::string& caption, const std::string& prompt,
                    std::string& value, int maxChars);
