// Shares, sessions, open files and accounts with hostile values (any UTF-16
// the system may hand over, unpaired surrogates included, huge texts, empty
// texts, extreme numbers) filled into the tree: every name shows in its node
// whole or cut to its first 200 characters, and every value stands whole in
// the detail text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <memory>
#include <string>

#include "tests/fakes/FakeWindowHost.h"
#include "tests/fakes/ScriptedNetwork.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

std::string Text(FuzzedDataProvider& in) { return fuzz::HostileText(in, 600); }

std::string Dec(std::uint32_t v) { return std::to_string(static_cast<std::int32_t>(v)); }

bool Holds(const std::string& text, const std::string& line) {
    return text.find(line) != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    ScriptedNetwork net;
    FakeWindowHost fakes;

    auto& m = net.Machine("\\\\S");
    m.serverType = 0x1003;
    const platform::ShareInfo2 share{Text(in), in.ConsumeIntegral<std::uint32_t>(), Text(in),
                                     in.ConsumeIntegral<std::uint32_t>(),
                                     in.ConsumeIntegral<std::uint32_t>(),
                                     in.ConsumeIntegral<std::uint32_t>(), Text(in), Text(in)};
    const platform::SessionInfo502 session{Text(in), Text(in), in.ConsumeIntegral<std::uint32_t>(),
                                           in.ConsumeIntegral<std::uint32_t>(),
                                           in.ConsumeIntegral<std::uint32_t>(),
                                           in.ConsumeIntegral<std::uint32_t>(), Text(in), Text(in)};
    const platform::FileInfo3 file{in.ConsumeIntegral<std::uint32_t>(),
                                   in.ConsumeIntegral<std::uint32_t>(),
                                   in.ConsumeIntegral<std::uint32_t>(), Text(in), Text(in)};
    platform::UserInfo3 user;
    user.name = Text(in);
    user.full_name = Text(in);
    user.comment = Text(in);
    user.usr_comment = Text(in);
    user.home_dir = Text(in);
    user.profile = Text(in);
    user.password_age = in.ConsumeIntegral<std::uint32_t>();
    user.max_storage = in.ConsumeIntegral<std::uint32_t>();
    user.last_logon = in.ConsumeIntegral<std::uint32_t>();
    user.acct_expires = in.ConsumeIntegral<std::uint32_t>();
    user.flags = in.ConsumeIntegral<std::uint32_t>();
    user.auth_flags = in.ConsumeIntegral<std::uint32_t>();
    user.priv = in.ConsumeIntegral<std::uint32_t>();
    const std::string group = Text(in);
    m.shares = {share};
    m.sessions = {session};
    m.files = {file};
    m.users = {user};
    m.localGroupsOf[user.name] = {group};
    m.globalGroupsOf[user.name] = {group};

    const auto window = fakes.StartWindow(net, "S\r\n");
    TMainWindow& w = *window;
    PVirtualNode server = w.Tree.GetFirstChild(w.Tree.GetFirst());
    FUZZ_CHECK(server != nullptr);
    auto category = [&](const std::string& text) {
        for (auto* c = w.Tree.GetFirstChild(server); c; c = w.Tree.GetNextSibling(c))
            if (TNetTree::GetNodeData(c).Text == text) return c;
        return static_cast<PVirtualNode>(nullptr);
    };
    auto onlyChild = [&](const std::string& text) {
        PVirtualNode c = category(text);
        w.Tree.Expand(c);
        FUZZ_CHECK(w.Tree.ChildCount(c) == 1);
        return TNetTree::GetNodeData(w.Tree.GetFirstChild(c));
    };

    const auto& s = onlyChild("Shares");
    FUZZ_CHECK(fuzz::IsNodeTextOf(s.Text.str(), share.netname + " = " + share.path));
    FUZZ_CHECK(s.Share == share.netname);
    FUZZ_CHECK(Holds(s.Info, "Netname: " + share.netname + "\r\n"));
    FUZZ_CHECK(Holds(s.Info, "Remark: " + share.remark + "\r\n"));
    FUZZ_CHECK(Holds(s.Info, "max. Uses: " + Dec(share.max_uses) + "\r\n"));
    FUZZ_CHECK(Holds(s.Info, "Path: " + share.path + "\r\nPassword: " + share.passwd));

    const auto& se = onlyChild("Sessions");
    FUZZ_CHECK(fuzz::IsNodeTextOf(se.Text.str(), session.username + " (" + Dec(session.num_opens) + ")"));
    FUZZ_CHECK(se.Session == session.username);
    FUZZ_CHECK(Holds(se.Info, "CName: " + session.cname + "\r\nUsername: " + session.username));
    FUZZ_CHECK(Holds(se.Info, "CLType name: " + session.cltype_name + "\r\nTransport: " + session.transport));

    const auto& f = onlyChild("Open Files");
    FUZZ_CHECK(fuzz::IsNodeTextOf(f.Text.str(), file.pathname + " (" + file.username + ")"));
    FUZZ_CHECK(f.OpenFile == file.id);
    FUZZ_CHECK(Holds(f.Info, "File-ID: " + Dec(file.id) + "\r\n"));
    FUZZ_CHECK(Holds(f.Info, "Pathname: " + file.pathname + "\r\nUsername: " + file.username));

    const auto& u = onlyChild("Users");
    FUZZ_CHECK(fuzz::IsNodeTextOf(u.Text.str(), user.name));
    FUZZ_CHECK(u.Info.rfind("Username: " + user.name + "\r\nFullname: " + user.full_name + "\r\n", 0) == 0);
    FUZZ_CHECK(Holds(u.Info, "Comment: " + user.comment + "\r\nUsrComment: " + user.usr_comment + "\r\n"));
    FUZZ_CHECK(Holds(u.Info, "Local groups: " + group + " \r\nGlobal groups: " + group + " \r\n"));
    FUZZ_CHECK(Holds(u.Info, "Home dir: " + user.home_dir + "\r\n"));
    FUZZ_CHECK(Holds(u.Info, "Profil: " + user.profile + "\r\n"));
    FUZZ_CHECK(Holds(u.Info, "max. Storage: " + Dec(user.max_storage) + "\r\n"));
    return 0;
}
