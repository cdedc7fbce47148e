// The Shares, Sessions and Open Files categories and their actions against the
// fixture's Samba server, driven through the window as the user drives it:
// expand a category, click an entry, press the action button.
#include <string>

#include "tests/contract/ContractFixture.h"
#include "tests/contract/SmbClient.h"

namespace {

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

const std::string kSuccess = "The operation completed successfully.";

}  // namespace

TEST_F(ContractTest, SharesCategory_ShowsNetNamesPathsRemarksAndNoUserLimit) {
    PVirtualNode shares = ExpandedCategory("Shares");
    ASSERT_NE(shares, nullptr);

    struct Expected {
        std::string name, remark, folder;
    };
    for (const Expected& e : {Expected{Env("NV_SMB_SHARE1"), Env("NV_SMB_REMARK1"), "docs"},
                              Expected{Env("NV_SMB_SHARE2"), Env("NV_SMB_REMARK2"), "public"}}) {
        const std::string path = WindowsPath(fx.shares / e.folder);
        PVirtualNode share = Child(shares, e.name + " = " + path);
        ASSERT_NE(share, nullptr);
        ClickOn(share);
        const std::string info = form.infoText;
        EXPECT_TRUE(Has(info, "Netname: " + e.name + "\r\n")) << info;
        EXPECT_TRUE(Has(info, "Type: " + std::string(32, '0') + "\r\n")) << info;
        EXPECT_TRUE(Has(info, "Remark: " + e.remark + "\r\n")) << info;
        EXPECT_TRUE(Has(info, "max. Uses: -1\r\n")) << info;
        EXPECT_TRUE(Has(info, "Path: " + path + "\r\n")) << info;
        EXPECT_EQ(form.actionCaption, "Remove Share permanently");
    }
}

TEST_F(ContractTest, RemoveShare_RemovesItOnTheServerAndLeavesItsFolder) {
    const std::string share = Env("NV_SMB_OUTBOX");
    const auto folder = fx.shares / share;
    ASSERT_TRUE(Contains(SharesListedBySmbclient(), share));
    PVirtualNode shares = ExpandedCategory("Shares");
    ASSERT_NE(shares, nullptr);
    PVirtualNode node = Child(shares, share + " = " + WindowsPath(folder));
    ASSERT_NE(node, nullptr);

    ClickOn(node);
    w->ActionButtonClick();
    EXPECT_TRUE(Has(statusBar.text, kSuccess)) << statusBar.text;
    const auto listed = SharesListedBySmbclient();
    EXPECT_FALSE(Contains(listed, share));
    EXPECT_TRUE(Contains(listed, Env("NV_SMB_SHARE1")));
    EXPECT_TRUE(std::filesystem::exists(folder / "keep.txt"));

    // The node stays; pressing again reports the server's refusal.
    ClickOn(node);
    w->ActionButtonClick();
    EXPECT_FALSE(Has(statusBar.text, kSuccess)) << statusBar.text;
}

TEST_F(ContractTest, OpenFiles_ShowPathAndUserAndClosingEndsTheHoldersAccess) {
    const auto docs = fx.shares / "docs";
    const std::string path = WindowsPath(docs / Env("NV_SMB_FILE"));
    const std::string otherPath = WindowsPath(docs / Env("NV_SMB_OTHER_FILE"));
    SmbClientSession holder(fx.host, Env("NV_SMB_SHARE1"), fx.user, fx.password);
    ASSERT_TRUE(holder.Ask("open " + Env("NV_SMB_FILE"), "fnum 1"));
    ASSERT_TRUE(holder.Ask("open " + Env("NV_SMB_OTHER_FILE"), "fnum 2"));
    AskUntil([&] { return net.FileEnum3(fx.server); },
             [&](const auto& r) { return FindFile(r.entries, otherPath) != nullptr; });

    PVirtualNode files = ExpandedCategory("Open Files");
    ASSERT_NE(files, nullptr);
    PVirtualNode file = Child(files, path + " (" + fx.user + ")");
    ASSERT_NE(file, nullptr);
    ASSERT_NE(Child(files, otherPath + " (" + fx.user + ")"), nullptr);
    ClickOn(file);
    EXPECT_TRUE(Has(form.infoText, "Pathname: " + path + "\r\n")) << form.infoText;
    EXPECT_TRUE(Has(form.infoText, "Username: " + fx.user)) << form.infoText;
    EXPECT_EQ(form.actionCaption, "Close File Access");

    w->ActionButtonClick();
    EXPECT_TRUE(Has(statusBar.text, kSuccess)) << statusBar.text;
    // The server closes the file in the process that serves the holder,
    // after it has answered.
    const auto open = AskUntil([&] { return net.FileEnum3(fx.server); },
                               [&](const auto& r) { return FindFile(r.entries, path) == nullptr; });
    EXPECT_EQ(FindFile(open.entries, path), nullptr);

    const auto refused = holder.Ask("close 1", "close 1:");
    ASSERT_TRUE(refused) << "the holder could still close its handle";
    EXPECT_TRUE(Has(*refused, "NT_STATUS_FILE_CLOSED")) << *refused;

    // Listed anew, the category shows what is still open, each once.
    w->Tree.Collapse(files);
    w->Tree.Expand(files);
    EXPECT_EQ(w->Tree.ChildCount(files), 1u);
    EXPECT_NE(Child(files, otherPath + " (" + fx.user + ")"), nullptr);

    const auto rest = holder.Finish("close 2\n");
    EXPECT_FALSE(Has(rest, "close 2:")) << rest;
}

TEST_F(ContractTest, SessionsCategory_ThatCannotBeListedSaysSo) {
    // libnetapi has no session listing: the category stays empty and the
    // status bar tells why, so that no one reads it as "no sessions".
    PVirtualNode server = StartAtServer();
    ASSERT_NE(server, nullptr);
    timers.Advance(20000);
    statusBar.text.clear();
    PVirtualNode sessions = Child(server, "Sessions");
    ASSERT_NE(sessions, nullptr);
    w->Tree.Expand(sessions);
    EXPECT_EQ(w->Tree.ChildCount(sessions), 0u);
    EXPECT_EQ(statusBar.text.rfind(" Error 50", 0), 0u) << statusBar.text;
}
