// The "Shares", "Sessions" and "Open Files" categories of a machine, and the
// actions on their entries: removing a share, disconnecting a session,
// closing an open file.
#include <cstdio>
#include <initializer_list>
#include <string>

#include "app/fvelmora.h"
#include "netinfo/unitNTException.h"

namespace {

// A 32-bit value as the system's signed "%d" writes it: 0xFFFFFFFF is -1.
std::string Dec(std::uint32_t value) { return std::to_string(static_cast<std::int32_t>(value)); }

// Upper-case hex, padded with zeros to 32 digits.
std::string Hex32(std::uint32_t value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%032X", static_cast<unsigned>(value));
    return buffer;
}

// The lines joined by CR LF, none after the last.
std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    const char* separator = "";
    for (const auto& line : lines) {
        text += separator;
        text += line;
        separator = "\r\n";
    }
    return text;
}

std::string ServerArgument(const std::string& machine) { return "\\\\" + machine; }

}  // namespace

std::string Tnetworkviewer::ShareInfoText(const platform::ShareInfo2& share) {
    return Lines({"Netname: " + share.netname, "Type: " + Hex32(share.type),
                  "Remark: " + share.remark, "Permissions: " + Hex32(share.permissions),
                  "max. Uses: " + Dec(share.max_uses), "cur. Uses: " + Dec(share.current_uses),
                  "Path: " + share.path, "Password: " + share.passwd});
}

std::string Tnetworkviewer::SessionInfoText(const platform::SessionInfo502& session) {
    return Lines({"CName: " + session.cname, "Username: " + session.username,
                  "num opens: " + Dec(session.num_opens), "Time: " + Dec(session.time),
                  "Idle time: " + Dec(session.idle_time),
                  "User flags: " + Hex32(session.user_flags),
                  "CLType name: " + session.cltype_name, "Transport: " + session.transport});
}

std::string Tnetworkviewer::OpenFileInfoText(const platform::FileInfo3& file) {
    return Lines({"File-ID: " + Dec(file.id), "Permissions: " + Hex32(file.permissions),
                  "Num of Locks: " + Dec(file.num_locks), "Pathname: " + file.pathname,
                  "Username: " + file.username});
}

// A failed listing is raised, so that the dispatch shows it in the status bar:
// an empty category must not pass for one with nothing in it.

void Tnetworkviewer::FillShares(PVirtualNode node) {
    const std::string machine = TNetTree::GetNodeData(node).Machine;
    const auto shares = platform_.Net.ShareEnum2(ServerArgument(machine));
    if (shares.status != 0) throw ENTException::CreateError(platform_.Messages, shares.status);
    for (const auto& share : shares.entries) {
        auto& data = TNetTree::GetNodeData(ntreeview.AddChild(node));
        data.Text = share.netname + " = " + share.path;
        data.Machine = machine;
        data.Action = naRemoveShare;
        data.Share = share.netname;
        data.Info = ShareInfoText(share);
    }
}

void Tnetworkviewer::FillSessions(PVirtualNode node) {
    ntreeview.DeleteChildren(node);
    const std::string machine = TNetTree::GetNodeData(node).Machine;
    const auto sessions = platform_.Net.SessionEnum502(ServerArgument(machine));
    if (sessions.status != 0)
        throw ENTException::CreateError(platform_.Messages, sessions.status);
    for (const auto& session : sessions.entries) {
        auto& data = TNetTree::GetNodeData(ntreeview.AddChild(node));
        data.Text = session.username + " (" + Dec(session.num_opens) + ")";
        data.Machine = machine;
        data.Action = naDisconnectSession;
        data.Session = session.username;
        data.Info = SessionInfoText(session);
    }
}

void Tnetworkviewer::FillOpenFiles(PVirtualNode node) {
    ntreeview.DeleteChildren(node);
    const std::string machine = TNetTree::GetNodeData(node).Machine;
    const auto files = platform_.Net.FileEnum3(ServerArgument(machine));
    if (files.status != 0) throw ENTException::CreateError(platform_.Messages, files.status);
    for (const auto& file : files.entries) {
        auto& data = TNetTree::GetNodeData(ntreeview.AddChild(node));
        data.Text = file.pathname + " (" + file.username + ")";
        data.Machine = machine;
        data.Action = naCloseFile;
        data.OpenFile = file.id;
        data.Info = OpenFileInfoText(file);
    }
}

void Tnetworkviewer::RemoveShare(const TNetNodeData& data) {
    ShowNetResult(platform_.Net.ShareDel(ServerArgument(data.Machine), data.Share));
}

void Tnetworkviewer::DisconnectSession(const TNetNodeData& data) {
    ShowNetResult(platform_.Net.SessionDel(ServerArgument(data.Machine), data.Session));
}

void Tnetworkviewer::CloseOpenFile(const TNetNodeData& data) {
    ShowNetResult(platform_.Net.FileClose(ServerArgument(data.Machine), data.OpenFile));
}
