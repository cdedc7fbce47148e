// A logoff or shutdown with the window open: the host list is written as at
// close, once, and a cancelled end leaves the window as it was.
#include "tests/win32/MainFormFixture.h"

#include "app/win32/resource.h"

namespace {

class SessionEndTest : public MainFormTest {
protected:
    LRESULT Send(UINT msg, WPARAM wp) {
        return SendMessageW(form_->Handle(), msg, wp, ENDSESSION_LOGOFF);
    }
    ScriptedNetwork net_;
};

}  // namespace

TEST_F(SessionEndTest, TheHostListIsWrittenOnceWhenTheSessionEndsAndNotWhenTheEndIsCancelled) {
    net_.Machine("");
    net_.Machine("\\\\host-b").serverType = 0x1;
    WriteIps("a\r\n");
    Open({&net_});
    ASSERT_TRUE(WaitForTree());
    HTREEITEM internet = TreeView_GetRoot(Tree());
    ClickItem(Tree(), internet);
    ASSERT_EQ(WindowText(form_->ActionButton()), "Add node by IP/Hostname");
    {
        ModalDriver dialog(L"#32770", L"Add IP/Host",
                           {TypeInto(IDC_INPUT_VALUE, L"host-b", L"host-b"), Press(L"Return")});
        XClickCenter(form_->ActionButton());
        ASSERT_EQ(dialog.Shown(), 1);
        EXPECT_FALSE(dialog.LeftOpen()) << "steps done: " << dialog.StepsDone();
    }
    ASSERT_NE(FindItem(Tree(), internet, "host-b"), nullptr);

    // Another program cancels the end: nothing is written, the window goes on.
    EXPECT_EQ(Send(WM_QUERYENDSESSION, 0), TRUE);
    Send(WM_ENDSESSION, FALSE);
    EXPECT_EQ(ReadIps(), "a\r\n");
    EXPECT_TRUE(IsWindowVisible(form_->Handle()));
    TreeView_Expand(Tree(), internet, TVE_EXPAND);
    ClickItem(Tree(), FindItem(Tree(), internet, "host-b"));
    EXPECT_EQ(WindowText(form_->ActionButton()), "Remove IP");
    EXPECT_EQ(WindowText(form_->InfoMemo()), "Serverflags: Workstation\r\n");

    EXPECT_EQ(Send(WM_QUERYENDSESSION, 0), TRUE);
    Send(WM_ENDSESSION, TRUE);
    EXPECT_EQ(ReadIps(), "a\r\nhost-b\r\n");

    // Written once: a close that still comes writes nothing more.
    WriteIps("changed\r\n");
    EXPECT_TRUE(CloseWindow());
    EXPECT_EQ(ReadIps(), "changed\r\n");
}
