// A logoff or shutdown with the window open: the host list is written as at
// close, once, and a cancelled end leaves the window as it was.
#include "tests/win32/MainFormFixture.h"

#include "app/win32/resource.h"

namespace {

// Answers the "Add IP/Host" dialog with a host once it shows. The dialog runs
// a modal loop of its own, which fires this thread's timer.
class AddHostAnswer {
public:
    explicit AddHostAnswer(std::wstring host) : host_(std::move(host)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 50, &AddHostAnswer::Tick);
    }
    ~AddHostAnswer() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool answered = false;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND dialog = FindWindowW(L"#32770", L"Add IP/Host");
        if (current_ == nullptr || current_->answered || dialog == nullptr) return;
        SetDlgItemTextW(dialog, IDC_INPUT_VALUE, current_->host_.c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        current_->answered = true;
    }
    static inline AddHostAnswer* current_ = nullptr;
    std::wstring host_;
    UINT_PTR timer_ = 0;
};

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
    Open(&net_);
    ASSERT_TRUE(WaitForTree());
    HTREEITEM internet = TreeView_GetRoot(Tree());
    ClickItem(Tree(), internet);
    ASSERT_EQ(WindowText(form_->ActionButton()), "Add node by IP/Hostname");
    {
        AddHostAnswer answer(L"host-b");
        XClickCenter(form_->ActionButton());
        ASSERT_TRUE(PumpUntil([&] { return FindItem(Tree(), internet, "host-b") != nullptr; }, 5000));
        EXPECT_TRUE(answer.answered);
    }

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
    PostMessageW(form_->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return form_->Handle() == nullptr; }, 3000));
    EXPECT_EQ(ReadIps(), "changed\r\n");
}
