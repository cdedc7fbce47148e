// The Disks, Groups and Users categories of a machine, the members of a
// group, the local groups of an account, and the detail text of an account.
#include <algorithm>
#include <string_view>

#include "app/MainWindow.h"

namespace {

// A new last child of parent on the parent's machine. Groups and accounts
// carry the has-children mark: they list their members and groups when they
// are expanded.
PVirtualNode AddEntryNode(TNetTree& tree, PVirtualNode parent, std::string_view text,
                          TNodeKind kind) {
    // The mark comes with the node: setting it afterwards costs the tree view
    // a search of all its items (under Wine).
    PVirtualNode node = tree.AddChild(parent, kind != nkNone);
    auto& data = TNetTree::GetNodeData(node);
    data.Text = text;
    data.Machine = TNetTree::GetNodeData(parent).Machine;
    data.Kind = kind;
    return node;
}

// Each name followed by one blank, the last one too.
void AppendGroupNames(std::string& text, const TStringList& names) {
    for (const auto& name : names) {
        text += name;
        text += ' ';
    }
}

// The members' names without their prefix, each followed by one blank.
template <typename Set, typename Name>
void AppendMemberNames(std::string& text, Set set, Name name, std::size_t prefixLength) {
    set.ForEach([&](auto member) {
        text += name(member).substr(prefixLength);
        text += ' ';
    });
}

}  // namespace

void TMainWindow::FillDisks(PVirtualNode node, TStringList& list) {
    NetServer.SetServerName("\\\\" + TNetTree::GetNodeData(node).Machine);
    NetServer.GetDisks(list);
    for (const auto& drive : list) AddEntryNode(Tree, node, drive, nkNone);
}

void TMainWindow::FillGroups(PVirtualNode node, TStringList& list) {
    NetServer.SetServerName("\\\\" + TNetTree::GetNodeData(node).Machine);
    NetServer.GetLocalGroups(list);
    for (const auto& group : list) AddEntryNode(Tree, node, group, nkGroup);
}

void TMainWindow::FillUsers(PVirtualNode node, TStringList& list) {
    ForgetDateTexts();
    NetServer.SetServerName("\\\\" + TNetTree::GetNodeData(node).Machine);
    NetServer.GetUserNames({nfNormalAccount}, list);
    NetUser.SetServer(&NetServer);
    for (const auto& name : list) {
        PVirtualNode account = AddEntryNode(Tree, node, name, nkUser);
        NetUser.SetUserName(name);
        // Should this fail, the account's node stays, without its details.
        TNetTree::GetNodeData(account).Info = UserDetailText(NetUser);
    }
}

void TMainWindow::FillGroupMembers(PVirtualNode node, TStringList& list) {
    ForgetDateTexts();
    const std::string group = TNetTree::GetNodeData(node).Text;
    NetServer.SetServerName("\\\\" + TNetTree::GetNodeData(node).Machine);
    // The user objects live as long as this fill, however it ends.
    TNetUserList users;
    NetServer.GetUsers({}, users, [this](const std::string& text) { ShowProgress(text); });
    // The listing's last text stays while the members are looked for.
    FlushProgress();
    for (const auto& user : users) {
        user->GetLocalGroups(list);
        const bool member = std::any_of(list.begin(), list.end(), [&](const std::string& name) {
            return platform_.Locale.SameTextIgnoreCase(name, group);
        });
        if (!member) continue;
        PVirtualNode entry = AddEntryNode(Tree, node, user->UserName(), nkNone);
        TNetTree::GetNodeData(entry).Info = UserDetailText(*user);
    }
}

void TMainWindow::FillUserGroups(PVirtualNode node, TStringList& list) {
    NetServer.SetServerName("\\\\" + TNetTree::GetNodeData(node).Machine);
    TNetUser user(platform_.Net, platform_.Messages, platform_.Locale);
    user.SetServer(&NetServer);
    user.SetUserName(TNetTree::GetNodeData(node).Text);
    user.GetLocalGroups(list);
    for (const auto& group : list) AddEntryNode(Tree, node, group, nkNone);
}

std::string TMainWindow::UserDetailText(TNetUser& user) {
    TStringList globalGroups;
    TStringList localGroups;
    user.GetGroups(globalGroups);
    user.GetLocalGroups(localGroups);

    // The values are read in the order of the lines: the first one that is
    // not loaded decides which information level is asked for first.
    // Written into a buffer kept between accounts, values that are made of
    // parts straight into it; the node gets a copy of just its size.
    std::string& text = detailText_;
    text.clear();
    const auto lineOf = [&](std::string_view label, auto appendValue) {
        text.append(label);
        appendValue();
        text.append("\r\n");
    };
    const auto line = [&](std::string_view label, std::string_view value) {
        lineOf(label, [&] { text.append(value); });
    };
    line("Username: ", user.UserName());
    line("Fullname: ", user.FullName());
    line("Comment: ", user.Comment());
    line("UsrComment: ", user.UserComment());
    lineOf("Last logon: ", [&] { AppendDateTime(text, user.LastLogon()); });
    lineOf("Last logoff: ", [&] { AppendDateTime(text, user.LastLogoff()); });
    lineOf("Account expires: ", [&] { AppendDateTime(text, user.AcctExpires()); });
    line("Password age: ", std::to_string(user.PasswordAge()));
    line("Password expired: ", BoolText(user.PasswordExpired()));
    lineOf("Auth flags: ", [&] { AppendUserAuthFlags(text, user.AuthFlags()); });
    line("", "");
    lineOf("Local groups: ", [&] { AppendGroupNames(text, localGroups); });
    lineOf("Global groups: ", [&] { AppendGroupNames(text, globalGroups); });
    line("primary groud ID: ", std::to_string(user.PrimaryGroupId()));
    line("RID: ", std::to_string(user.UserId()));
    line("", "");
    line("Home dir: ", user.HomeDir());
    line("Home dir drive: ", user.HomeDirDrive());
    line("max. Storage: ", std::to_string(user.MaxStorage()));
    line("Script path: ", user.ScriptPath());
    line("Parms: ", user.Parms());
    line("Profil: ", user.Profile());
    line("Workstations: ", user.Workstations());
    lineOf("Flags: ", [&] { AppendUserFlags(text, user.Flags()); });
    lineOf("Infoflags: ", [&] { AppendUserInfoFlags(text, user.InfoFlags()); });
    line("Priv: ", UserPrivText(user.Priv()));
    return std::string(text);
}

void TMainWindow::AppendUserFlags(std::string& text, TNetUserFlags flags) {
    AppendMemberNames(text, flags, UserFlagName, 2);
}

void TMainWindow::AppendUserInfoFlags(std::string& text, TNetUserInfoFlags flags) {
    AppendMemberNames(text, flags, UserInfoFlagName, 3);
}

void TMainWindow::AppendUserAuthFlags(std::string& text, TNetUserAuthFlags flags) {
    AppendMemberNames(text, flags, UserAuthFlagName, 2);
}

std::string TMainWindow::UserPrivText(TNetUserPriv priv) {
    return std::string(UserPrivName(priv).substr(2));
}

std::string TMainWindow::BoolText(bool value) { return value ? "true" : "false"; }

void TMainWindow::AppendDateTime(std::string& text, double value) {
    const platform::CalendarTime time = platform::DecodeDateTime(value);
    // The short date format applies to the date alone.
    const std::int32_t day = time.year * 10000 + time.month * 100 + time.day;
    TDateText& date = dateTexts_[static_cast<std::size_t>(day) % dateTexts_.size()];
    if (date.day != day) {
        date.text = platform_.Locale.ShortDateText(time);
        date.day = day;
    }
    text += date.text;
    if (time.hour != 0 || time.minute != 0 || time.second != 0) {
        text += ' ';
        text += platform_.Locale.LongTimeText(time);
    }
}

void TMainWindow::ForgetDateTexts() {
    // A listing uses the formats the user has when it starts.
    dateTexts_.fill({});
}
