#pragma once
// Connecting as another user to a machine that refuses the account the
// program runs as. A connection to the machine's IPC$ share with other
// credentials makes every later network management call to that machine run
// as that user, until the connection ends; the program ends the connections
// it made when it closes. Passwords pass from the logon dialog to the
// connection call and are wiped right after it; user names are kept for the
// run only, to fill in the next logon dialog for the same machine.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/NetApi.h"
#include "platform/Secret.h"
#include "platform/SystemMessages.h"

struct TLogon {
    std::string user;  // as typed: "name", "DOMAIN\name" or "name@domain"
    platform::Secret password;
};

// What offering a connection asks of the user.
class TLogonDialogs {
public:
    virtual ~TLogonDialogs() = default;
    // A modal question with the buttons Yes and No; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // A modal logon dialog for machine with user filled in; failure, when not
    // empty, is the message of the logon it refused last. nullopt when the
    // user cancels.
    virtual std::optional<TLogon> PromptLogon(const std::string& machine, const std::string& user,
                                              const std::string& failure) = 0;
};

class TMachineAccess {
public:
    TMachineAccess(platform::NetApi& net, platform::SystemMessages& messages,
                   TLogonDialogs& dialogs);
    TMachineAccess(const TMachineAccess&) = delete;
    TMachineAccess& operator=(const TMachineAccess&) = delete;

    // Access denied, logon failure, account restriction, password expired,
    // account disabled, account locked out: the machine refused the account
    // the call ran as, and another account may be let in.
    static bool IsRefusal(std::uint32_t status);

    // After machine (a name without backslashes) refused a call: asks whether
    // to connect as another user and, on yes, asks for the account until a
    // connection is made or the user cancels; a refused logon is asked again
    // with its message. True when the connection is made, so the refused call
    // may run again. A machine whose offer was declined is not asked about
    // again until ForgetDeclined.
    bool OfferConnection(const std::string& machine);
    void ForgetDeclined() { declined_.clear(); }
    // Ends every connection this object made.
    void EndConnections();

private:
    bool Connect(const std::string& machine);
    void EndConnection(const std::string& remote);

    platform::NetApi& net_;
    platform::SystemMessages& messages_;
    TLogonDialogs& dialogs_;
    std::set<std::string> declined_;
    std::vector<std::string> connections_;         // remote names, in the order made
    std::map<std::string, std::string> lastUser_;  // by machine
};
