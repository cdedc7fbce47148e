#pragma once
// The dialog that asks for the account to connect to a machine as: the
// system's credential dialog where the system offers one, else the program's
// own (user name and password, OK and Cancel) from the dialog template in the
// program's resources. Neither keeps anything once it returns: the
// password's buffers are wiped, and nothing is saved.
#include <windows.h>

#include <optional>
#include <string>

#include "app/MachineAccess.h"

// Shows the system's dialog, or the program's own where the system's is
// missing or fails, modally over owner. failure, when not empty, is shown as
// the reason for asking again. nullopt when the user cancels.
std::optional<TLogon> RunLogonDialog(HWND owner, const std::string& machine,
                                     const std::string& user, const std::string& failure);
// The program's own dialog: user starts in the user name, the password is
// empty and has the focus when a user is given. Raises an Exception when the
// dialog cannot be made.
std::optional<TLogon> RunOwnLogonDialog(HWND owner, const std::string& machine,
                                        const std::string& user, const std::string& failure);
