#include "app/MainWindow.h"

#include <algorithm>
#include <cctype>

#include "app/HostList.h"
#include "netinfo/NetError.h"
#include "toolkit/ParallelQueries.h"

namespace {

// Clears the busy flag however the fill or action ends.
class TBusyScope {
public:
    explicit TBusyScope(bool& busy) : busy_(busy) { busy_ = true; }
    ~TBusyScope() { busy_ = false; }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    bool& busy_;
};

}  // namespace

TMainWindow::TWaitCursor::TWaitCursor(TNetworkViewerForm& form)
    : form_(form), saved_(form.ScreenCursor()) {
    form_.SetScreenCursor(crHourGlass);
}

TMainWindow::TWaitCursor::~TWaitCursor() { form_.SetScreenCursor(saved_); }

TMainWindow::TMainWindow(TNetworkViewerPlatform platform, TNetworkViewerForm& form,
                               TSimpleStatusBar& statusBar)
    : StatusBar(statusBar),
      NetServer(platform.Net, platform.Messages, platform.Locale),
      NetUser(platform.Net, platform.Messages, platform.Locale),
      ServiceDatabase(platform.Services, platform.Registry, platform.Messages),
      MachineAccess(platform.Net, platform.Messages, form),
      platform_(platform),
      form_(form),
      versionInfo_(platform.Version) {
    Tree.SetVisible(false);
    StartupTimer.OnTimer = [this] { StartupTimerTick(); };
    FlashTimer.OnTimer = [this] { FlashTimerTick(); };
    Tree.OnClick = [this] { TreeClick(); };
    Tree.OnExpanding = [this](PVirtualNode node, bool& allowed) {
        TreeExpanding(node, allowed);
    };
}

// ---------------------------------------------------------------- start and close

void TMainWindow::FormCreate() {
    ShowNodeInfo("");
    HostList.clear();
    LoadHostList();
    form_.SetCaption(form_.Caption() + " " + VersionText());
    StatusBar.SetSimpleText(form_.Caption());
}

void TMainWindow::LoadHostList() {
    const std::string path = HostListFileName();
    if (!platform_.Files.FileExists(path)) return;
    const auto read = platform_.Files.ReadFile(path);
    if (read.error != 0) {
        hostListUnread_ = true;
        form_.ShowError("The host list " + path + " could not be read.\r\n\r\n" +
                        NetErrorMessage(platform_.Messages, read.error) +
                        "\r\nThe program starts without it and leaves the file unchanged.");
        return;
    }
    HostList = ReadHostList(read.bytes, platform_.Locale);
}

void TMainWindow::FormClose() {
    MachineAccess.EndConnections();
    SaveHostList();
}

void TMainWindow::SaveHostList() {
    const std::string path = HostListFileName();
    if (hostListUnread_) {
        form_.ShowError("The host list " + path +
                        " could not be read at start, so it has been left unchanged.");
        return;
    }
    const auto error =
        platform_.Files.ReplaceWhole(path, WriteHostList(HostList, platform_.Locale));
    if (error != 0) {
        form_.ShowError("The host list could not be saved to " + path + ".\r\n\r\n" +
                        NetErrorMessage(platform_.Messages, error) +
                        "\r\nThe file keeps its earlier content.");
    }
}

void TMainWindow::StartupTimerTick() {
    // The build lets messages run; the timer may fire again meanwhile.
    if (busy_) return;
    TBusyScope busy(busy_);
    BuildTree();
    StartupTimer.SetEnabled(false);
}

template <typename F>
void TMainWindow::Guarded(F step) {
    try {
        step();
    } catch (...) {
        // Should even the report fail, the event still ends as usual.
        try {
            FlashStatusMessage(CurrentExceptionMessage());
        } catch (...) {
        }
    }
}

void TMainWindow::AboutButtonClick() { form_.ShowAboutBox(); }

// ---------------------------------------------------------------- status bar

void TMainWindow::ShowNodeInfo(const std::string& text) {
    form_.SetInfoText(text);
    form_.SetInfoPanelVisible(!text.empty());
}

void TMainWindow::FlashStatusMessage(const std::string& message) {
    std::string text(" ");
    text.append(message, 0, message.find('\r'));
    StatusBar.SetSimpleText(text);
    FlashTimer.SetEnabled(true);
}

void TMainWindow::FlashTimerTick() {
    if (FlashTimer.Tag >= kFlashTicks) {
        FlashTimer.SetEnabled(false);
        FlashTimer.Tag = 0;
        StatusBar.SetParentColor(true);
    } else {
        StatusBar.SetColor(FlashTimer.Tag % 2 != 0 ? clWhite : clRed);
        ++FlashTimer.Tag;
    }
}

void TMainWindow::StopStatusFlash() {
    FlashTimer.Tag = kFlashStopped;
    FlashTimerTick();
}

void TMainWindow::ShowProgress(const std::string& text) {
    // A fill may report a text per entry: painting each would cost more than
    // the entry. A text is shown at once when the last one shown is older
    // than kProgressInterval; else it waits for the next one or for the end
    // of the fill (FlushProgress), so the last text always shows.
    progressText_ = text;
    progressPending_ = true;
    if (std::chrono::steady_clock::now() - progressShown_ >= kProgressInterval) FlushProgress();
}

void TMainWindow::FlushProgress() {
    if (!progressPending_) return;
    progressPending_ = false;
    StatusBar.SetSimpleText(progressText_);
    form_.ProcessMessages();
    progressShown_ = std::chrono::steady_clock::now();
}

void TMainWindow::ShowNetResult(std::uint32_t code) {
    // A status the system has no text for still tells what came of the
    // action: an empty bar would pass for nothing having happened.
    if (code != 0) lastFailure_ = code;
    const std::string text = NetErrorText(platform_.Messages, code);
    StatusBar.SetSimpleText(text.empty() ? NetErrorMessage(platform_.Messages, code) : text);
}

// ---------------------------------------------------------------- the tree

const std::string& TMainWindow::TreeGetText(PVirtualNode node) {
    return TNetTree::GetNodeData(node).Text;
}

PVirtualNode TMainWindow::AddMarkedNode(PVirtualNode parent) {
    return Tree.AddChild(parent, true);
}

std::string TMainWindow::ServerFlagsText(TServerAccountTypes flags) {
    std::string text = "Serverflags: ";
    flags.ForEach([&](TServerAccountType t) {
        text += std::string(ServerAccountTypeName(t).substr(6)) + "\r\n";
    });
    return text;
}

void TMainWindow::BuildTree() {
    // The tree stays shown while "Update tree" rebuilds it: the wait panel
    // is for the start alone.
    Guarded([this] {
        Tree.Clear();
        PVirtualNode internet = Tree.AddChild(nullptr);
        auto& data = TNetTree::GetNodeData(internet);
        data.Text = "Internet";
        data.Action = naAddHost;
        {
            TWaitCursor wait(form_);
            const TStringList hosts = HostList;
            AddServerNodes(internet, hosts, true);
        }
        Guarded([this] { AddDomainNodes(); });
        LeaveNoNodeFocused();
    });
    Tree.SetVisible(true);
}

void TMainWindow::AddDomainNodes() {
    directoryDomain_.reset();
    TStringList domains;
    try {
        NetServer.SetServerName("");
        NetServer.GetServerList({svTypeDomainEnum}, "", domains);
    } catch (...) {
        // Current networks have no browse list (6118), yet the computer's own
        // domain still lists its machines in its directory. Only when there
        // is none either is the browse list's failure worth telling.
        if (!AddDirectoryDomainNode()) throw;
        return;
    }
    for (const auto& domain : domains) AddDomainNode(domain);
}

void TMainWindow::AddDomainNode(const std::string& name) {
    auto& data = TNetTree::GetNodeData(AddMarkedNode(nullptr));
    data.Text = name;
    data.Machine = name;
    data.Kind = nkDomain;
    data.Action = naUpdateTree;
}

bool TMainWindow::AddDirectoryDomainNode() {
    if (platform_.Directory == nullptr) return false;
    platform::DomainMembership domain = platform_.Directory->ComputerDomain();
    if (domain.status != 0 || domain.name.empty()) return false;
    AddDomainNode(domain.name);
    directoryDomain_ = std::move(domain);
    return true;
}

void TMainWindow::LeaveNoNodeFocused() {
    // Walk the focus along the root level past its end.
    Tree.SetFocusedNode(Tree.GetFirst());
    while (Tree.FocusedNode() != nullptr)
        Tree.SetFocusedNode(Tree.GetNextSibling(Tree.FocusedNode()));
    Tree.ClearSelection();
}

TMainWindow::TServerAnswer TMainWindow::QueryServer(platform::NetApi& net,
                                                          platform::SystemMessages& messages,
                                                          const std::string& name) {
    // The same call and text as the server component's ServerType and its
    // exception, without a component shared between threads. Whatever goes
    // wrong while one machine is asked is that machine's answer.
    try {
        const auto info = net.ServerGetInfo101("\\\\" + name);
        if (info.status != 0) return {false, NetErrorMessage(messages, info.status)};
        return {true, ServerFlagsText(ServerTypesFromBits(info.value))};
    } catch (...) {
        return {false, CurrentExceptionMessage()};
    }
}

PVirtualNode TMainWindow::AddServerNode(PVirtualNode parent, const std::string& name,
                                           bool fromHostList) {
    TWaitCursor wait(form_);
    TServerAnswer answer = QueryServer(platform_.Net, platform_.Messages, name);
    return AddAnsweredServerNode(parent, name, fromHostList, answer);
}

void TMainWindow::AddServerNodes(PVirtualNode parent, const TStringList& names,
                                    bool fromHostList) {
    RunQueriesInOrder<TServerAnswer>(
        names.size(), kQueryThreads,
        [this, &names](std::size_t i) {
            return QueryServer(platform_.Net, platform_.Messages, names[i]);
        },
        [this, parent, &names, fromHostList](std::size_t i, TServerAnswer& answer) {
            AddAnsweredServerNode(parent, names[i], fromHostList, answer);
        },
        [this] { form_.ProcessMessages(); });
}

PVirtualNode TMainWindow::AddAnsweredServerNode(PVirtualNode parent, const std::string& name,
                                                   bool fromHostList, TServerAnswer& answer) {
    PVirtualNode node = AddMarkedNode(parent);
    auto& data = TNetTree::GetNodeData(node);
    data.Text = name;
    data.Machine = name;
    data.FromHostList = fromHostList;
    if (fromHostList) data.Action = naRemoveHost;
    data.Info = std::move(answer.info);
    if (!answer.answered) return node;

    struct Category {
        const char* text;
        TNodeKind kind;
        bool refill;
    };
    static constexpr Category kCategories[] = {
        {"Groups", nkGroups, false},     {"Users", nkUsers, false},
        {"Services", nkServices, false}, {"Disks", nkDisks, false},
        {"Shares", nkShares, false},     {"Sessions", nkSessions, true},
        {"Open Files", nkOpenFiles, true},
    };
    for (const auto& c : kCategories) {
        auto& cd = TNetTree::GetNodeData(AddMarkedNode(node));
        cd.Text = c.text;
        cd.Machine = data.Machine;
        cd.Kind = c.kind;
        cd.Refill = c.refill;
    }
    return node;
}

void TMainWindow::FillDomain(PVirtualNode node, TStringList& list) {
    if (directoryDomain_ && TNetTree::GetNodeData(node).Machine == directoryDomain_->name) {
        FillDomainFromDirectory(node, list);
        return;
    }
    // Machines are listed from the local machine, as the domains are: the
    // machine queried last may be one that does not answer.
    NetServer.SetServerName("");
    NetServer.GetServerList({svTypeAll}, TNetTree::GetNodeData(node).Machine, list);
    AddServerNodes(node, list, false);
}

void TMainWindow::FillDomainFromDirectory(PVirtualNode node, TStringList& list) {
    list.clear();
    const std::string controller = directoryDomain_->controller;
    const platform::NetStatus status = platform_.Directory->ListComputers(
        controller, [&list](std::vector<platform::ComputerAccount>&& page) {
            for (auto& account : page) list.push_back(std::move(account.name));
        });
    // The directory hands its accounts out in an order of its own; a person
    // looks a machine up by its name. Whatever was read before a failure is
    // shown, and the failure then told as any failed fill's.
    std::sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
                return std::tolower(x) < std::tolower(y);
            });
    });
    AddServerNodes(node, list, false);
    if (status != 0) throw ENTException::CreateError(platform_.Messages, status);
}

// ---------------------------------------------------------------- host list

void TMainWindow::AddHost(PVirtualNode node) {
    std::string host;
    if (!form_.InputQuery("Add IP/Host", "IP-number/Hostname:", host)) return;
    // An empty answer names no host; it would only add a node that cannot
    // answer and an empty line to ips.txt.
    if (host.empty()) return;
    for (const auto& entry : HostList)
        if (platform_.Locale.SameTextIgnoreCase(entry, host)) return;
    HostList.push_back(host);
    AddServerNode(node, host, true);
}

void TMainWindow::RemoveHost(PVirtualNode node) {
    // The node's Machine is the entry it was made from, whole.
    const std::string entry = TNetTree::GetNodeData(node).Machine;
    for (auto it = HostList.begin(); it != HostList.end(); ++it)
        if (platform_.Locale.SameTextIgnoreCase(*it, entry)) {
            HostList.erase(it);
            break;
        }
    Tree.DeleteNode(node);
}

// ---------------------------------------------------------------- dispatch

void TMainWindow::TreeClick() {
    PVirtualNode node = Tree.FocusedNode();
    if (node == nullptr) {
        form_.SetActionPanelVisible(false);
        StopStatusFlash();
        return;
    }
    const auto& data = TNetTree::GetNodeData(node);
    if (data.Action >= naDisconnectSession && data.Action <= naRemoveHost)
        form_.SetActionCaption(std::string(ActionCaption(data.Action)));
    form_.SetActionPanelVisible(data.Action != naNone);
    ShowNodeInfo(data.Info);
    StopStatusFlash();
}

void TMainWindow::TreeExpanding(PVirtualNode node, bool& allowed) {
    if (busy_) {
        // A fill is letting messages run; another one would pull the tree from
        // under it.
        allowed = false;
        return;
    }
    TBusyScope busy(busy_);
    TWaitCursor wait(form_);
    auto& data = TNetTree::GetNodeData(node);
    Guarded([&] {
        // The last progress text shows before a failure's message.
        try {
            // A domain's machines are listed from the local machine.
            WithAccessTo(
                data.Kind == nkDomain ? std::string() : data.Machine,
                [&] { Fill(node, data.Kind); },
                // Each fill starts on a node without children of its making.
                [&] { Tree.DeleteChildren(node); });
        } catch (...) {
            FlushProgress();
            throw;
        }
        FlushProgress();
    });
    if (!data.Refill) data.Kind = nkNone;
}

void TMainWindow::Fill(PVirtualNode node, std::int32_t kind) {
    TStringList list;
    switch (kind) {
        case nkDomain: FillDomain(node, list); break;
        case nkDisks: FillDisks(node, list); break;
        case nkGroups: FillGroups(node, list); break;
        case nkUsers: FillUsers(node, list); break;
        case nkGroup: FillGroupMembers(node, list); break;
        case nkShares: FillShares(node); break;
        case nkSessions: FillSessions(node); break;
        case nkOpenFiles: FillOpenFiles(node); break;
        case nkUser: FillUserGroups(node, list); break;
        case nkServices: FillServices(node, list); break;
        default: break;
    }
}

void TMainWindow::ActionButtonClick() {
    if (busy_) return;
    PVirtualNode node = Tree.FocusedNode();
    if (node == nullptr) return;
    TBusyScope busy(busy_);
    Guarded([&] {
        const auto action = TNetTree::GetNodeData(node).Action;
        WithAccessTo(ActionMachine(node), [&] { RunAction(node); }, [] {});
        // Emptying the category removes the service's node, which a repeated
        // start or stop still needs.
        if (action == naStartService || action == naStopService) ResetServicesCategory();
    });
}

template <typename Step, typename Again>
void TMainWindow::WithAccessTo(const std::string& machine, Step step, Again again) {
    const auto connectedAfter = [&](std::uint32_t status) {
        return !machine.empty() && TMachineAccess::IsRefusal(status) &&
               MachineAccess.OfferConnection(machine);
    };
    lastFailure_ = 0;
    try {
        step();
        if (!connectedAfter(lastFailure_)) return;
    } catch (const ENTException& e) {
        if (!connectedAfter(e.ErrorCode)) throw;
    }
    again();
    step();
}

std::string TMainWindow::ActionMachine(PVirtualNode node) {
    const TNetNodeData& data = TNetTree::GetNodeData(node);
    switch (data.Action) {
        case naDisconnectSession:
        case naCloseFile:
        case naRemoveShare:
            return data.Machine;
        case naStartService:
        case naStopService: {
            // The machine is its Services category's, which its group carries.
            const PVirtualNode group = Tree.GetParent(node);
            return group ? TNetTree::GetNodeData(group).Machine : std::string();
        }
        default:
            return std::string();
    }
}

void TMainWindow::RunAction(PVirtualNode node) {
    const TNetNodeData& data = TNetTree::GetNodeData(node);
    switch (data.Action) {
        case naDisconnectSession: DisconnectSession(data); break;
        case naCloseFile: CloseOpenFile(data); break;
        case naRemoveShare: RemoveShare(data); break;
        case naAddHost: AddHost(node); break;
        case naStartService: StartStopService(ServiceMachine(node), data.ServiceName, false); break;
        case naStopService: StartStopService(ServiceMachine(node), data.ServiceName, true); break;
        case naUpdateTree:
            // A new tree asks again about machines whose offer was declined.
            MachineAccess.ForgetDeclined();
            BuildTree();
            break;
        case naRemoveHost: RemoveHost(node); break;
        default: break;
    }
}
