// The "Shares", "Sessions" and "Open Files" categories of a machine, and the
// actions on their entries: removing a share, disconnecting a session,
// closing an open file.
#include <array>
#include <charconv>
#include <initializer_list>
#include <string>
#include <string_view>

#include "app/MainWindow.h"
#include "netinfo/NetError.h"

namespace {

// The text of a 32-bit value as the system's signed "%d" writes it
// (0xFFFFFFFF is -1).
class Dec {
public:
    explicit Dec(std::uint32_t value)
        : size_(static_cast<std::uint8_t>(
              std::to_chars(digits_, digits_ + sizeof digits_, static_cast<std::int32_t>(value)).ptr -
              digits_)) {}
    operator std::string_view() const { return std::string_view(digits_, size_); }

private:
    char digits_[12];
    std::uint8_t size_;
};
// The value in upper-case hex padded with zeros to 32 digits.
struct Hex32 {
    std::uint32_t value;
};

// "label value" lines joined by CR LF, none after the last: a fill makes one
// such text per entry, allocated once when all its lines are known.
class TLines {
public:
    TLines& operator()(std::string_view label, std::string_view value) {
        lines_.at(count_++) = {label, value, {}};
        return *this;
    }
    TLines& operator()(std::string_view label, Dec value) {
        TLine& line = lines_.at(count_++);
        line.label = label;
        const std::string_view digits = value;
        line.value = std::string_view(line.digits, digits.copy(line.digits, sizeof line.digits));
        return *this;
    }
    TLines& operator()(std::string_view label, Hex32 value) {
        TLine& line = lines_.at(count_++);
        line.label = label;
        for (int i = 31; i >= 0; --i, value.value >>= 4)
            line.digits[i] = "0123456789ABCDEF"[value.value & 15];
        line.value = std::string_view(line.digits, sizeof line.digits);
        return *this;
    }
    std::string Text() const {
        std::size_t size = 2 * count_;
        for (std::size_t i = 0; i < count_; ++i) size += lines_[i].label.size() + lines_[i].value.size();
        std::string text;
        text.reserve(size);
        for (std::size_t i = 0; i < count_; ++i) {
            if (i > 0) text += "\r\n";
            text += lines_[i].label;
            text += lines_[i].value;
        }
        return text;
    }

private:
    struct TLine {
        std::string_view label;
        std::string_view value;
        char digits[32];  // a number's text
    };
    std::array<TLine, 8> lines_;
    std::size_t count_ = 0;
};

// The parts one after the other, in a string allocated once.
std::string Joined(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (const auto part : parts) size += part.size();
    std::string text;
    text.reserve(size);
    for (const auto part : parts) text += part;
    return text;
}

std::string ServerArgument(const std::string& machine) { return "\\\\" + machine; }

}  // namespace

std::string TMainWindow::ShareInfoText(const platform::ShareInfo2& share) {
    return TLines()("Netname: ", share.netname)("Type: ", Hex32{share.type})(
               "Remark: ", share.remark)("Permissions: ", Hex32{share.permissions})(
               "max. Uses: ", Dec(share.max_uses))("cur. Uses: ", Dec(share.current_uses))(
               "Path: ", share.path)("Password: ", share.passwd)
        .Text();
}

std::string TMainWindow::SessionInfoText(const platform::SessionInfo502& session) {
    return TLines()("CName: ", session.cname)("Username: ", session.username)(
               "num opens: ", Dec(session.num_opens))("Time: ", Dec(session.time))(
               "Idle time: ", Dec(session.idle_time))("User flags: ", Hex32{session.user_flags})(
               "CLType name: ", session.cltype_name)("Transport: ", session.transport)
        .Text();
}

std::string TMainWindow::OpenFileInfoText(const platform::FileInfo3& file) {
    return TLines()("File-ID: ", Dec(file.id))("Permissions: ", Hex32{file.permissions})(
               "Num of Locks: ", Dec(file.num_locks))("Pathname: ", file.pathname)(
               "Username: ", file.username)
        .Text();
}

// A failed listing is raised, so that the dispatch shows it in the status bar:
// an empty category must not pass for one with nothing in it.

template <typename Entry, typename Describe>
void TMainWindow::AddListedNodes(PVirtualNode category, const std::string& machine,
                                 const platform::NetList<Entry>& listing, Describe describe) {
    if (listing.status != 0) throw ENTException::CreateError(platform_.Messages, listing.status);
    for (const auto& entry : listing.entries) {
        auto& data = TNetTree::GetNodeData(Tree.AddChild(category));
        data.Machine = machine;
        describe(entry, data);
    }
}

void TMainWindow::FillShares(PVirtualNode node) {
    const std::string machine = TNetTree::GetNodeData(node).Machine;
    AddListedNodes(node, machine, platform_.Net.ShareEnum2(ServerArgument(machine)),
                   [](const platform::ShareInfo2& share, TNetNodeData& data) {
                       data.Text = Joined({share.netname, " = ", share.path});
                       data.Action = naRemoveShare;
                       data.Share = share.netname;
                       data.Info = ShareInfoText(share);
                   });
}

void TMainWindow::FillSessions(PVirtualNode node) {
    Tree.DeleteChildren(node);
    const std::string machine = TNetTree::GetNodeData(node).Machine;
    AddListedNodes(node, machine, platform_.Net.SessionEnum502(ServerArgument(machine)),
                   [](const platform::SessionInfo502& session, TNetNodeData& data) {
                       data.Text = Joined({session.username, " (", Dec(session.num_opens), ")"});
                       data.Action = naDisconnectSession;
                       data.Session = session.username;
                       data.Info = SessionInfoText(session);
                   });
}

void TMainWindow::FillOpenFiles(PVirtualNode node) {
    Tree.DeleteChildren(node);
    const std::string machine = TNetTree::GetNodeData(node).Machine;
    AddListedNodes(node, machine, platform_.Net.FileEnum3(ServerArgument(machine)),
                   [](const platform::FileInfo3& file, TNetNodeData& data) {
                       data.Text = Joined({file.pathname, " (", file.username, ")"});
                       data.Action = naCloseFile;
                       data.OpenFile = file.id;
                       data.Info = OpenFileInfoText(file);
                   });
}

void TMainWindow::RemoveShare(const TNetNodeData& data) {
    ShowNetResult(platform_.Net.ShareDel(ServerArgument(data.Machine), data.Share));
}

void TMainWindow::DisconnectSession(const TNetNodeData& data) {
    ShowNetResult(platform_.Net.SessionDel(ServerArgument(data.Machine), data.Session));
}

void TMainWindow::CloseOpenFile(const TNetNodeData& data) {
    ShowNetResult(platform_.Net.FileClose(ServerArgument(data.Machine), data.OpenFile));
}
