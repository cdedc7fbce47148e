#pragma once
// The main window's behaviour: the network tree, the detail panel, the action
// button, the status bar and the host list. It drives its form through
// TNetworkViewerForm and the status bar, tree and timers it is given, so that
// it runs the same with the real window and in the native tests.
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "app/HostList.h"
#include "app/MachineAccess.h"
#include "app/NetNode.h"
#include "app/versioninfo.h"
#include "netinfo/NetServer.h"
#include "netinfo/NetUser.h"
#include "services/ServiceDatabase.h"
#include "platform/Directory.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/NetApi.h"
#include "platform/Registry.h"
#include "platform/ServiceManager.h"
#include "platform/Shell.h"
#include "platform/SystemMessages.h"
#include "platform/VersionResource.h"
#include "toolkit/Controls.h"
#include "toolkit/Strings.h"
#include "toolkit/Timer.h"

// The operating system as the main window reaches it.
struct TNetworkViewerPlatform {
    platform::NetApi& Net;
    platform::SystemMessages& Messages;
    platform::VersionResource& Version;
    platform::FileSystem& Files;
    platform::Locale& Locale;
    platform::Registry& Registry;
    platform::Shell& Shell;
    platform::ServiceManager& Services;
    // The domain directory; without one, domains come from the browse list
    // alone.
    platform::Directory* Directory = nullptr;
};

// What the main window asks of its form; the logon dialogs serve the offer
// to connect as another user.
class TNetworkViewerForm : public TLogonDialogs {
public:
    virtual ~TNetworkViewerForm() = default;
    virtual std::string Caption() = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetInfoText(const std::string& text) = 0;      // the detail memo
    virtual void SetInfoPanelVisible(bool visible) = 0;         // the detail panel with the splitter
    virtual void SetActionPanelVisible(bool visible) = 0;       // the action panel
    virtual void SetActionCaption(const std::string& text) = 0; // the action button
    // A modal dialog that asks for one line of text: the caption, the prompt,
    // an edit that starts with value and takes at most 255 characters, OK and
    // Cancel. True, with the edit's text in value, when the user chose OK.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt,
                            std::string& value) = 0;
    virtual TCursor ScreenCursor() = 0;
    virtual void SetScreenCursor(TCursor cursor) = 0;
    // Lets the window handle every pending message.
    virtual void ProcessMessages() = 0;
    // A modal message box with an OK button.
    virtual void ShowError(const std::string& text) = 0;
    virtual void ShowAboutBox() = 0;
};

class TMainWindow {
public:
    TMainWindow(TNetworkViewerPlatform platform, TNetworkViewerForm& form,
                   TSimpleStatusBar& statusBar);

    // Event handlers.
    void FormCreate();
    void FormClose();
    void StartupTimerTick();
    void FlashTimerTick();
    void AboutButtonClick();
    void TreeClick();
    void TreeExpanding(PVirtualNode node, bool& allowed);
    void ActionButtonClick();
    const std::string& TreeGetText(PVirtualNode node);

    // Operations.
    void ShowNodeInfo(const std::string& text);
    void FlashStatusMessage(const std::string& message);
    void StopStatusFlash();
    // The flash paints red and white this many ticks, then gives the bar its
    // parent's colour back; a stopped flash skips straight to that.
    static constexpr int kFlashTicks = 10;
    static constexpr int kFlashStopped = kFlashTicks + 1;
    void ShowProgress(const std::string& text);
    // Shows the progress text that ShowProgress held back, if any.
    void FlushProgress();
    static constexpr std::chrono::milliseconds kProgressInterval{30};
    // The system's text of an action's status, as it is; "Error N" when the
    // system has none.
    void ShowNetResult(std::uint32_t code);

    void BuildTree();
    PVirtualNode AddServerNode(PVirtualNode parent, const std::string& name, bool fromHostList);
    static std::string ServerFlagsText(TServerAccountTypes flags);
    void FillDomain(PVirtualNode node, TStringList& list);

    // What asking a machine for its server type gave: its flags text, or the
    // failure message.
    struct TServerAnswer {
        bool answered = false;
        std::string info;
    };
    // Asks \\name through the seam; safe to run on several threads at once.
    static TServerAnswer QueryServer(platform::NetApi& net, platform::SystemMessages& messages,
                                     const std::string& name);
    // At most this many machines are asked at once.
    static constexpr std::size_t kQueryThreads = 32;

    // The host list's actions, for the focused node.
    void AddHost(PVirtualNode node);
    void RemoveHost(PVirtualNode node);

    // Shares, sessions and open files of the machine of a category node, and
    // the actions on their entries (ShareFills.cpp).
    void FillShares(PVirtualNode node);
    void FillSessions(PVirtualNode node);
    void FillOpenFiles(PVirtualNode node);
    void RemoveShare(const TNetNodeData& data);
    void DisconnectSession(const TNetNodeData& data);
    void CloseOpenFile(const TNetNodeData& data);
    static std::string ShareInfoText(const platform::ShareInfo2& share);
    static std::string SessionInfoText(const platform::SessionInfo502& session);
    static std::string OpenFileInfoText(const platform::FileInfo3& file);

    // The Disks, Groups and Users categories, a group's members and a user's
    // local groups (UserFills.cpp). Each fill asks the expanded node's
    // machine and adds the children in the order listed; a failure ends it
    // and leaves the nodes made so far.
    void FillDisks(PVirtualNode node, TStringList& list);
    void FillGroups(PVirtualNode node, TStringList& list);
    void FillUsers(PVirtualNode node, TStringList& list);
    void FillGroupMembers(PVirtualNode node, TStringList& list);
    void FillUserGroups(PVirtualNode node, TStringList& list);
    // At most this many accounts are asked at once by the Users fill and a
    // group's members fill when their machine is slow to answer; 0 asks them
    // one after the other on the window's thread however slow it is. Either
    // way the nodes, texts and failures are the same.
    std::size_t AccountQueryThreads = kQueryThreads;
    // The calls the detail text makes, in its order, without the text.
    static void AskUserDetails(TNetUser& user, TStringList& globalGroups,
                               TStringList& localGroups);
    // The detail text of an account whose groups were asked already; its
    // values are read as the text goes (asking its machine for those not
    // loaded).
    std::string UserDetailText(TNetUser& user, const TStringList& globalGroups,
                               const TStringList& localGroups);
    // These write a value of the detail text at the end of text.
    static void AppendUserFlags(std::string& text, TNetUserFlags flags);
    static void AppendUserInfoFlags(std::string& text, TNetUserInfoFlags flags);
    static void AppendUserAuthFlags(std::string& text, TNetUserAuthFlags flags);
    static std::string UserPrivText(TNetUserPriv priv);
    static std::string BoolText(bool value);
    // The user's short date, then a blank and the user's long time unless the
    // time is midnight; 0 reads as 30 December 1899.
    void AppendDateTime(std::string& text, double value);
    void ForgetDateTexts();
    // The Services category and its start and stop actions (ServiceFills.cpp).
    void FillServices(PVirtualNode node, TStringList& list);
    void AddServiceNode(PVirtualNode category, PVirtualNode& group, const std::string& stateText,
                        TNodeAction action, TService& service);
    // "\\" and the machine whose Services category holds a service node.
    std::string ServiceMachine(PVirtualNode serviceNode);
    // Starts or stops a service of a machine ("\\NAME"); failures are told
    // in message boxes.
    void StartStopService(const std::string& machine, const std::string& serviceName, bool stop);
    // Empties the Services category of the focused service node so that its
    // next expansion lists the services again.
    void ResetServicesCategory();

    std::string VersionText() { return versionInfo_.VersionText(); }
    std::string HostListFileName() { return HostListPath(versionInfo_.ProgramPath()); }

    // Components.
    TNetTree Tree;
    TSimpleStatusBar& StatusBar;
    TTimer StartupTimer{300, true};
    TTimer FlashTimer{1000, false};
    TNetServer NetServer;
    TNetUser NetUser;
    TServiceDatabase ServiceDatabase;
    TMachineAccess MachineAccess;

    TStringList HostList;

private:
    // Remembers the screen cursor and shows the hourglass until it goes.
    class TWaitCursor {
    public:
        explicit TWaitCursor(TNetworkViewerForm& form);
        ~TWaitCursor();
        TWaitCursor(const TWaitCursor&) = delete;
        TWaitCursor& operator=(const TWaitCursor&) = delete;

    private:
        TNetworkViewerForm& form_;
        TCursor saved_;
    };

    // Runs one step of an event: whatever it throws is shown in the status
    // bar, and the event goes on.
    template <typename F>
    void Guarded(F step);
    // BuildTree's steps: the root nodes of the domains, then no node focused.
    void AddDomainNodes();
    void AddDomainNode(const std::string& name);
    // Where the browse list failed: the node of this computer's own domain,
    // as the directory names it. False, and no node, when the computer is
    // in no domain or its controller cannot be found.
    bool AddDirectoryDomainNode();
    // FillDomain for the domain of AddDirectoryDomainNode: its computer
    // accounts, sorted by name.
    void FillDomainFromDirectory(PVirtualNode node, TStringList& list);
    void LeaveNoNodeFocused();
    // The expansion's fill for a kind, and the press's action for a node.
    void Fill(PVirtualNode node, std::int32_t kind);
    void RunAction(PVirtualNode node);
    // Runs a fill or an action on machine (empty: on no machine of its own).
    // When the machine refuses the account it ran as, the user may connect
    // as another one; then `again` readies the node and the step runs once
    // more. A refusal is a raised ENTException or, for the actions that
    // report their status, a refused status in lastFailure_.
    template <typename Step, typename Again>
    void WithAccessTo(const std::string& machine, Step step, Again again);
    // The machine whose entry an action acts on; "" for the tree's own actions.
    std::string ActionMachine(PVirtualNode node);
    // A new last child of parent (nullptr: the root level) with the
    // has-children mark.
    PVirtualNode AddMarkedNode(PVirtualNode parent);
    // A server node made from an answer, with its categories when the
    // machine answered.
    PVirtualNode AddAnsweredServerNode(PVirtualNode parent, const std::string& name,
                                       bool fromHostList, TServerAnswer& answer);
    // One server node per name, in order, the machines asked concurrently
    // while the window handles its messages.
    void AddServerNodes(PVirtualNode parent, const TStringList& names, bool fromHostList);
    void LoadHostList();
    void SaveHostList();
    // What asking one account for its node gave (UserFills.cpp).
    struct TAccountAnswer;
    // Asks an account what its node needs: with a group, whether the
    // account is a member (only members get a node) and then its details.
    // Safe to run beside the asking of other accounts.
    static TAccountAnswer AskAccount(TNetUser& user, const std::string* group,
                                     platform::Locale& locale);
    // The account's node from its answer, as asking one after the other
    // makes it; a failure keeps the node without its details and is raised.
    void AddAccountNode(PVirtualNode parent, TNetUser& user, TAccountAnswer& answer,
                        TNodeKind kind);
    // One node per account (with a group, per member) under parent, in the
    // order of users. Accounts are asked on the window's thread while they
    // answer at once, and side by side, the window handling its messages,
    // once they keep it waiting.
    void AddAccountNodes(PVirtualNode parent, TNetUserList& users, const std::string* group);
    // One node per entry of a machine's listing, each filled in by
    // `describe`; a failed listing raises its status and adds nothing
    // (ShareFills.cpp).
    template <typename Entry, typename Describe>
    void AddListedNodes(PVirtualNode category, const std::string& machine,
                        const platform::NetList<Entry>& listing, Describe describe);

    TNetworkViewerPlatform platform_;
    // The domain whose node the directory gave in the last BuildTree.
    std::optional<platform::DomainMembership> directoryDomain_;
    TNetworkViewerForm& form_;
    TVersionInfo versionInfo_;
    // ips.txt existed at start but could not be read: closing leaves it alone.
    bool hostListUnread_ = false;
    // A fill or an action is running; input that would start another waits.
    bool busy_ = false;
    // The status that the running action's last failed call reported.
    std::uint32_t lastFailure_ = 0;
    std::string progressText_;
    bool progressPending_ = false;
    std::chrono::steady_clock::time_point progressShown_{};
    // The user's texts of the last dates of an account listing (most
    // accounts share a few: no logoff, no expiry, logons of recent days).
    struct TDateText {
        std::int32_t day = -1;  // year * 10000 + month * 100 + day
        std::string text;
    };
    std::array<TDateText, 64> dateTexts_;
    std::string detailText_;
};
