// The Disks, Groups and Users categories of a machine, the members of a
// group, the local groups of an account, and the detail text of an account.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <exception>
#include <memory>
#include <string_view>

#include "app/MainWindow.h"
#include "toolkit/ParallelQueries.h"

namespace {

// Asking one account takes longer than this on a slow link, judged on the
// average: one account that took long because the system ran another thread
// meanwhile says nothing about the link. Side by side, the accounts of a
// slow link cost far less each.
constexpr std::chrono::milliseconds kSlowAccount{1};

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
    // An object of its own per account: accounts asked side by side share
    // no loaded values, and none keeps another's.
    TNetUserList users;
    users.reserve(list.size());
    for (const auto& name : list) {
        auto& user = users.emplace_back(
            std::make_unique<TNetUser>(platform_.Net, platform_.Messages, platform_.Locale));
        user->SetServer(&NetServer);
        user->SetUserName(name);
    }
    AddAccountNodes(node, users, nullptr);
}

void TMainWindow::FillGroupMembers(PVirtualNode node, TStringList&) {
    ForgetDateTexts();
    const std::string group = TNetTree::GetNodeData(node).Text;
    NetServer.SetServerName("\\\\" + TNetTree::GetNodeData(node).Machine);
    // The user objects live as long as this fill, however it ends.
    TNetUserList users;
    NetServer.GetUsers({}, users, [this](const std::string& text) { ShowProgress(text); });
    // The listing's last text stays while the members are looked for.
    FlushProgress();
    AddAccountNodes(node, users, &group);
}

struct TMainWindow::TAccountAnswer {
    // Only a group's members get a node; a failure before that is known
    // leaves the account without one.
    bool member = true;
    TStringList globalGroups;
    TStringList localGroups;
    // What ended the asking of this account, and with it the fill.
    std::exception_ptr failure;
};

TMainWindow::TAccountAnswer TMainWindow::AskAccount(TNetUser& user, const std::string* group,
                                                    platform::Locale& locale) {
    TAccountAnswer answer;
    try {
        if (group != nullptr) {
            answer.member = false;
            user.GetLocalGroups(answer.localGroups);
            answer.member = std::any_of(
                answer.localGroups.begin(), answer.localGroups.end(),
                [&](const std::string& name) { return locale.SameTextIgnoreCase(name, *group); });
            if (!answer.member) return answer;
        }
        AskUserDetails(user, answer.globalGroups, answer.localGroups);
    } catch (...) {
        answer.failure = std::current_exception();
    }
    return answer;
}

void TMainWindow::AddAccountNode(PVirtualNode parent, TNetUser& user, TAccountAnswer& answer,
                                 TNodeKind kind) {
    if (answer.member) {
        PVirtualNode node = AddEntryNode(Tree, parent, user.UserName(), kind);
        // Should the asking have failed, the node stays, without its details.
        if (!answer.failure)
            TNetTree::GetNodeData(node).Info =
                UserDetailText(user, answer.globalGroups, answer.localGroups);
    }
    if (answer.failure) std::rethrow_exception(answer.failure);
}

void TMainWindow::AddAccountNodes(PVirtualNode parent, TNetUserList& users,
                                  const std::string* group) {
    const TNodeKind kind = group != nullptr ? nkNone : nkUser;
    platform::Locale& locale = platform_.Locale;
    const auto ask = [&users, group, &locale](std::size_t i) {
        return AskAccount(*users[i], group, locale);
    };
    const auto add = [&](std::size_t i, TAccountAnswer& answer) {
        AddAccountNode(parent, *users[i], answer, kind);
    };
    // Accounts that answer at once cost least asked here, the window
    // handling its messages every kIdleInterval. Once they have taken
    // kIdleInterval, at more than kSlowAccount each, the link is slow: each
    // account costs its round trips, and the accounts left share the wait,
    // asked side by side.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point begin = Clock::now();
    Clock::time_point answered = begin;
    std::size_t next = 0;
    std::size_t timedAt = 1;
    while (next < users.size()) {
        TAccountAnswer answer = ask(next);
        add(next, answer);
        if (++next < timedAt || AccountQueryThreads == 0) continue;
        // Reading the clock costs microseconds under Wine: accounts that
        // answer far quicker than a slow link's are timed in strides.
        const Clock::duration taken = Clock::now() - begin;
        const auto slow = kSlowAccount * static_cast<std::int64_t>(next);
        if (taken >= kIdleInterval && taken >= slow) break;
        timedAt = next + (taken * 8 < slow ? std::min<std::size_t>(next, 64) : 1);
        if (begin + taken - answered >= kIdleInterval) {
            form_.ProcessMessages();
            answered = Clock::now();
        }
    }
    if (next == users.size()) return;
    RunQueriesInOrder<TAccountAnswer>(
        users.size() - next, AccountQueryThreads, [&](std::size_t i) { return ask(next + i); },
        [&](std::size_t i, TAccountAnswer& answer) { add(next + i, answer); },
        [this] { form_.ProcessMessages(); });
}

void TMainWindow::FillUserGroups(PVirtualNode node, TStringList& list) {
    NetServer.SetServerName("\\\\" + TNetTree::GetNodeData(node).Machine);
    TNetUser user(platform_.Net, platform_.Messages, platform_.Locale);
    user.SetServer(&NetServer);
    user.SetUserName(TNetTree::GetNodeData(node).Text);
    user.GetLocalGroups(list);
    for (const auto& group : list) AddEntryNode(Tree, node, group, nkNone);
}

void TMainWindow::AskUserDetails(TNetUser& user, TStringList& globalGroups,
                                 TStringList& localGroups) {
    user.GetGroups(globalGroups);
    user.GetLocalGroups(localGroups);
    // The text reads the full name first (level 20 when it is not loaded)
    // and the user comment fourth (level 3): the same reads in the same
    // order load the same levels, so that composing the text asks nothing.
    user.FullName();
    user.UserComment();
}

std::string TMainWindow::UserDetailText(TNetUser& user, const TStringList& globalGroups,
                                        const TStringList& localGroups) {
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
