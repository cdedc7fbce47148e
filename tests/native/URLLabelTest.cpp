// The link label and the about box without a window: the registry and the
// shell are scripted, every call they get is recorded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedRegistry.h"
#include "widgets/URLLabel.h"
#include "widgets/AboutBox.h"

namespace {

using platform::kHKeyClassesRoot;

// A label that keeps what it would tell the user.
class RecordingLabel : public TURLLabel {
public:
    using TURLLabel::TURLLabel;
    std::vector<std::string> failures;
    int changes = 0;

protected:
    void Changed() override { ++changes; }
    void ShowLaunchFailure(const std::string& message) override { failures.push_back(message); }
};

class URLLabelTest : public ::testing::Test {
protected:
    // A browser registered as most systems do it: the extension names a
    // file type, whose open command starts the browser.
    void RegisterBrowser(const std::string& extension, bool readOnly = false) {
        auto& ext = registry.KeyAt("", kHKeyClassesRoot, extension);
        ext.values[""] = ScriptedRegistry::String("htmlfile");
        ext.readOnly = readOnly;
        auto& command = registry.KeyAt("", kHKeyClassesRoot, "htmlfile\\shell\\open\\command");
        command.values[""] = ScriptedRegistry::String("\"C:\\Browser\\browser.exe\" \"%1\"");
        command.readOnly = readOnly;
    }

    ScriptedRegistry registry;
    FakeShell shell;
};

}  // namespace

TEST_F(URLLabelTest, URLSetterTakesOffOnlyTheHttpAndMailtoPrefixes) {
    RecordingLabel label(registry, shell);
    EXPECT_EQ(label.URL(), kPlaceholderWebAddress);
    EXPECT_EQ(label.LinkType(), lthttp);

    label.SetURL("mailto:admin@example.net");
    EXPECT_EQ(label.URL(), "admin@example.net");
    EXPECT_EQ(label.LinkType(), ltmailto);

    label.SetURL("HTTP://WWW.Example.com/Tools");
    EXPECT_EQ(label.URL(), "WWW.Example.com/Tools");
    EXPECT_EQ(label.LinkType(), lthttp);

    label.SetURL("admin@example.net");
    label.SetURL("ftp://files.example.net/pub");
    EXPECT_EQ(label.URL(), "ftp://files.example.net/pub");
    EXPECT_EQ(label.LinkType(), lthttp);  // it holds "/"
    // It opens as written, not behind a second scheme.
    label.SetShowPrefix(true);
    EXPECT_EQ(label.Caption(), "ftp://files.example.net/pub");
    label.SetLabelType(TURLLabelType::Link);
    label.Click();
    EXPECT_EQ(shell.opened, std::vector<std::string>{"ftp://files.example.net/pub"});
    label.SetShowPrefix(false);

    // Both "@" and "/": a web address.
    label.SetURL("mailto:a@example.net/x");
    EXPECT_EQ(label.LinkType(), lthttp);
    EXPECT_EQ(label.Caption(), "a@example.net/x");
}

TEST_F(URLLabelTest, CaptionAndHintFollowTheLinkTextWithItsPrefixOnRequest) {
    RecordingLabel label(registry, shell);
    // The hint follows from the first change of the link text on.
    EXPECT_EQ(label.Hint(), "");
    EXPECT_TRUE(label.URLAsHint());
    EXPECT_EQ(label.Caption(), kPlaceholderWebAddress);

    label.SetURL("mailto:admin@example.net");
    label.SetShowPrefix(true);
    EXPECT_EQ(label.Caption(), "mailto:admin@example.net");
    EXPECT_EQ(label.Hint(), "mailto:admin@example.net");
    EXPECT_EQ(label.LinkText(), "mailto:admin@example.net");

    label.SetURLAsHint(false);
    EXPECT_EQ(label.Hint(), "");
    label.SetURLAsHint(true);
    EXPECT_EQ(label.Hint(), "mailto:admin@example.net");
}

TEST_F(URLLabelTest, AnExplicitCaptionStaysWhileTheHintFollowsTheURL) {
    RecordingLabel label(registry, shell);
    label.SetCaption("Write to us");
    label.SetURL("mailto:admin@example.net");
    label.SetURL("http://www.example.net/");
    EXPECT_EQ(label.Caption(), "Write to us");
    EXPECT_EQ(label.Hint(), "www.example.net/");
}

TEST_F(URLLabelTest, ChangingTheLinkTypeSwapsOnlyThePlaceholders) {
    RecordingLabel label(registry, shell);
    label.SetLinkType(ltmailto);
    EXPECT_EQ(label.URL(), kPlaceholderMailAddress);
    EXPECT_EQ(label.Caption(), kPlaceholderMailAddress);
    EXPECT_NE(std::string(kPlaceholderMailAddress), kPlaceholderWebAddress);
    label.SetLinkType(lthttp);
    EXPECT_EQ(label.URL(), kPlaceholderWebAddress);

    label.SetURL("www.example.net");
    label.SetLinkType(ltmailto);
    EXPECT_EQ(label.URL(), "www.example.net");
}

TEST_F(URLLabelTest, AutoLabelIsPassiveWhenHtmHasNoHandler) {
    RegisterBrowser(".html");  // ".htm" stays unregistered
    RecordingLabel label(registry, shell);
    EXPECT_FALSE(label.IsLive());
    EXPECT_EQ(label.Font(), label.PassiveFont());
    EXPECT_FALSE(label.Font().Underline);
    EXPECT_EQ(label.Cursor(), crDefaultCursor);
    int clicks = 0;
    label.OnClick = [&] { ++clicks; };
    label.Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

TEST_F(URLLabelTest, AutoLabelIsLiveWithBothHandlersAndOpensTheFullAddress) {
    RegisterBrowser(".html");
    RegisterBrowser(".htm");
    RecordingLabel label(registry, shell);
    EXPECT_TRUE(label.IsLive());
    EXPECT_EQ(label.Font().Color, kLinkBlue);
    EXPECT_TRUE(label.Font().Underline);
    EXPECT_EQ(label.Cursor(), crHandPoint);
    label.SetShowPrefix(false);
    label.SetURL("http://www.example.net/a");
    label.Click();
    EXPECT_EQ(shell.opened, std::vector<std::string>{"http://www.example.net/a"});
    EXPECT_TRUE(label.failures.empty());
}

TEST_F(URLLabelTest, HandlerKeysAreOpenedForReadingOnly) {
    // Keys that refuse more than reading, as for an ordinary user.
    RegisterBrowser(".html", true);
    RegisterBrowser(".htm", true);
    RecordingLabel label(registry, shell);
    EXPECT_TRUE(label.IsLive());
    const auto opens = registry.CallsOf("OpenKey");
    ASSERT_EQ(opens.size(), 4u);
    EXPECT_EQ(opens[0].path, "HKEY_CLASSES_ROOT\\.html");
    EXPECT_EQ(opens[1].path, "HKEY_CLASSES_ROOT\\htmlfile\\shell\\open\\command");
    EXPECT_EQ(opens[2].path, "HKEY_CLASSES_ROOT\\.htm");
    for (const auto& call : opens) EXPECT_EQ(call.access, platform::kKeyRead) << call.path;
    EXPECT_EQ(registry.OpenHandles(), 0u);
    EXPECT_EQ(registry.badCloses, 0);
}

TEST_F(URLLabelTest, ExtensionWithoutFileTypeUsesItsOwnOpenCommand) {
    RegisterBrowser(".html");
    registry.KeyAt("", kHKeyClassesRoot, ".htm");
    auto& own = registry.KeyAt("", kHKeyClassesRoot, ".htm\\shell\\open\\command");
    own.values[""] = ScriptedRegistry::String("viewer.exe %1");
    EXPECT_TRUE(RecordingLabel(registry, shell).IsLive());

    own.values[""] = ScriptedRegistry::String("");
    EXPECT_FALSE(RecordingLabel(registry, shell).IsLive());
}

TEST_F(URLLabelTest, MailLinksAreLiveWhenTheMailLibraryLoads) {
    RecordingLabel label(registry, shell);
    shell.loadableLibraries = {"MAPI32.DLL"};
    label.SetLinkType(ltmailto);
    EXPECT_EQ(shell.probed, std::vector<std::string>{"MAPI32.DLL"});
    // The link type alone does not change the look...
    EXPECT_FALSE(label.Font().Underline);
    EXPECT_EQ(label.Cursor(), crDefaultCursor);
    // ...a change of the label type does.
    label.SetLabelType(TURLLabelType::Passive);
    label.SetLabelType(TURLLabelType::Auto);
    EXPECT_TRUE(label.Font().Underline);
    EXPECT_EQ(label.Cursor(), crHandPoint);
    label.Click();
    EXPECT_EQ(shell.opened, std::vector<std::string>{"mailto:someone@example.org"});

    shell.loadableLibraries.clear();
    label.SetLinkType(lthttp);
    label.SetLinkType(ltmailto);
    label.SetLabelType(TURLLabelType::Passive);
    label.SetLabelType(TURLLabelType::Auto);
    EXPECT_FALSE(label.IsLive());
}

TEST_F(URLLabelTest, LinkLabelLaunchesWithoutAHandlerAndReportsARefusedLaunch) {
    RecordingLabel label(registry, shell);
    label.SetURL("www.example.net/tools");
    label.SetLabelType(TURLLabelType::Link);
    EXPECT_TRUE(label.IsLive());
    label.Click();
    EXPECT_EQ(shell.opened, std::vector<std::string>{"http://www.example.net/tools"});
    EXPECT_TRUE(label.failures.empty());

    shell.openSucceeds = false;
    label.Click();
    ASSERT_EQ(label.failures.size(), 1u);
    EXPECT_NE(label.failures[0].find("could not be opened"), std::string::npos);
    EXPECT_NE(label.failures[0].find("http://www.example.net/tools"), std::string::npos);

    label.SetLabelType(TURLLabelType::Passive);
    label.Click();
    EXPECT_EQ(shell.opened.size(), 2u);
}

TEST_F(URLLabelTest, AboutBoxLinksTheHomePageUnderItsOwnCaption) {
    RegisterBrowser(".html");
    RegisterBrowser(".htm");
    RecordingLabel label(registry, shell);
    Taboutformular about(label);
    about.LoadLayout();
    about.FormCreate();
    EXPECT_EQ(label.Caption(), "Homepage");
    EXPECT_EQ(label.URL(), "networkview.example.net/");
    EXPECT_EQ(label.LinkType(), lthttp);
    EXPECT_EQ(label.Hint(), "http://networkview.example.net/");
    EXPECT_NE(label.URL(), kPlaceholderWebAddress);
    EXPECT_TRUE(label.Transparent());
    EXPECT_TRUE(label.IsLive());
    EXPECT_EQ(label.Font().Name, "MS Sans Serif");
    EXPECT_EQ(label.Font().Height, -11);

    label.Click();
    EXPECT_EQ(shell.opened, std::vector<std::string>{"http://networkview.example.net/"});
    EXPECT_EQ(about.ModalResult, mrNone);
    about.visitenkarteClick();
    EXPECT_EQ(about.ModalResult, mrOk);
}
