// The program's own logon dialog, where the system offers none (Wine's
// credential dialog answers 120, not implemented): what it says, where the
// focus starts, and what typing and Enter or Escape hand back.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/win32/LogonDialog.h"
#include "app/win32/resource.h"
#include "platform/win32/Win32Platform.h"
#include "tests/win32/UiDriver.h"

namespace {

using platform::win32::Narrow;

std::string TextOf(HWND dialog, int id) {
    wchar_t text[256] = {};
    GetWindowTextW(GetDlgItem(dialog, id), text, 256);
    return Narrow(text);
}

ModalDriver::Step FocusOn(int id) {
    return [id](HWND dialog) {
        SetFocus(GetDlgItem(dialog, id));
        return true;
    };
}

TEST(LogonDialogTest, TakesTheTypedAccountOnEnterAndNoneOnEscape) {
    struct Case {
        const char* what;
        std::string user, failure;
        std::vector<ModalDriver::Step> steps;
        std::string reason;
        int focus;
        std::optional<std::pair<std::string, std::string>> logon;
        bool systemFirst = false;  // asks the system's dialog first
    };
    const std::string refused = "Error 1326 : The user name or password is incorrect.\r\n";
    Case cases[] = {
        {"the last name filled in: the password is typed",
         "LAB\\ada",
         "",
         {TypeInto(IDC_LOGON_PASSWORD, L"Engine-1843", L"Engine-1843"), Press(L"Return")},
         "Connect to \\\\M as:",
         IDC_LOGON_PASSWORD,
         std::make_pair("LAB\\ada", "Engine-1843")},
        {"no name yet: both are typed",
         "",
         "",
         {TypeInto(IDC_LOGON_USER, L"bob", L"bob"), FocusOn(IDC_LOGON_PASSWORD),
          TypeInto(IDC_LOGON_PASSWORD, L"x y", L"x y"), Press(L"Return")},
         "Connect to \\\\M as:",
         IDC_LOGON_USER,
         std::make_pair("bob", "x y")},
        {"asked again after a refused logon, then Escape",
         "LAB\\ada",
         refused,
         {TypeInto(IDC_LOGON_PASSWORD, L"typed", L"typed"), Press(L"Escape")},
         refused,
         IDC_LOGON_PASSWORD,
         std::nullopt,
         true},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string reason, user;
        int focus = 0;
        std::vector<ModalDriver::Step> steps{[&](HWND dialog) {
            reason = TextOf(dialog, IDC_LOGON_REASON);
            user = TextOf(dialog, IDC_LOGON_USER);
            focus = GetDlgCtrlID(GetFocus());
            return true;
        }};
        steps.insert(steps.end(), c.steps.begin(), c.steps.end());
        ModalDriver dialog(L"#32770", L"Connect as another user", steps);
        const auto logon = c.systemFirst ? RunLogonDialog(nullptr, "M", c.user, c.failure)
                                         : RunOwnLogonDialog(nullptr, "M", c.user, c.failure);
        ASSERT_EQ(dialog.Shown(), 1);
        EXPECT_FALSE(dialog.LeftOpen()) << "steps done: " << dialog.StepsDone();
        EXPECT_EQ(reason + "|" + user, c.reason + "|" + c.user);
        EXPECT_EQ(focus, c.focus);
        ASSERT_EQ(logon.has_value(), c.logon.has_value());
        if (logon) {
            EXPECT_EQ(logon->user, c.logon->first);
            EXPECT_EQ(logon->password.View(), c.logon->second);
        }
    }
}

}  // namespace

