#include "app/MachineAccess.h"

#include <algorithm>

#include "netinfo/NetError.h"

TMachineAccess::TMachineAccess(platform::NetApi& net, platform::SystemMessages& messages,
                               TLogonDialogs& dialogs)
    : net_(net), messages_(messages), dialogs_(dialogs) {}

bool TMachineAccess::IsRefusal(std::uint32_t status) {
    switch (status) {
        case 5:     // access denied
        case 1326:  // unknown user name or bad password
        case 1327:  // account restriction
        case 1330:  // password expired
        case 1331:  // account disabled
        case 1909:  // account locked out
            return true;
        default:
            return false;
    }
}

bool TMachineAccess::OfferConnection(const std::string& machine) {
    if (declined_.contains(machine)) return false;
    const bool connected =
        dialogs_.AskYesNo("Access to \\\\" + machine + " was refused. Connect as another user?") &&
        Connect(machine);
    if (!connected) declined_.insert(machine);
    return connected;
}

bool TMachineAccess::Connect(const std::string& machine) {
    const std::string remote = "\\\\" + machine + "\\IPC$";
    std::string failure;
    for (;;) {
        std::optional<TLogon> logon = dialogs_.PromptLogon(machine, lastUser_[machine], failure);
        if (!logon) return false;
        lastUser_[machine] = logon->user;
        // A machine takes one account per client: an earlier connection of
        // ours to it would make the new one fail.
        EndConnection(remote);
        const auto status = net_.AddConnection(remote, logon->user, logon->password);
        logon->password.Wipe();
        if (status == 0) {
            connections_.push_back(remote);
            return true;
        }
        failure = NetErrorMessage(messages_, status);
    }
}

void TMachineAccess::EndConnection(const std::string& remote) {
    const auto it = std::find(connections_.begin(), connections_.end(), remote);
    if (it == connections_.end()) return;
    connections_.erase(it);
    net_.CancelConnection(remote);
}

void TMachineAccess::EndConnections() {
    for (const auto& remote : connections_) net_.CancelConnection(remote);
    connections_.clear();
}
