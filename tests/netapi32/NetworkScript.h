#pragma once
// The network that the scripted netapi32.dll answers from, as a test writes
// it in a small text file (UTF-8), one statement a line:
//
//   # a comment
//   fail NetServerEnum 6118             network-wide (before the first domain or machine)
//   domain LAB                          a domain, in listing order
//   delay NetServerEnum 300             for the listing of LAB's machines
//   machine {computer} type=0x9003      this computer, a machine of LAB
//   machine WS{001..300} domain=OFFICE  300 machines with what follows
//     disk C:
//     user alice full_name="Alice Ames" flags=0x10201 user_id=1001 groups="Domain Users"
//     localgroup Administrators members=Administrator,alice
//     share Data path=C:\Data type=0 remark="Team data" max_uses=-1
//     session cname=PC042 user=alice opens=2 time=300 idle=20
//     file id=7 path=C:\Data\plan.txt user=alice permissions=1 locks=0
//     fail NetShareEnum 5                this machine's calls of it fail with 5
//     fail NetUserGetInfo 2221 level=3 buffer   (and hand out a buffer anyway)
//     fail NetShareEnum 59 from=2        the first call answers, the later ones fail
//     delay * 20                         every call to it takes 20 ms
//     parts NetUserEnum 2                lists in parts of 2 (ERROR_MORE_DATA)
//
// A statement belongs to the latest domain or machine line above it. A
// machine belongs to the latest domain unless it says domain=NAME (empty: no
// domain). Values are bare words or "quoted"; a text key left out is a null
// pointer in the record, key="" an empty text. Numbers are decimal, 0x hex,
// or negative (-1 is 0xFFFFFFFF). "{computer}" stands for this computer's
// name, "{001..300}" for a run of numbered names.
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace scripted {

// A text of a record: nullopt is a null pointer.
using Text = std::optional<std::wstring>;

class Attributes {
public:
    void Set(const std::string& key, std::wstring value) { values_[key] = std::move(value); }
    Text TextOf(const std::string& key) const;
    DWORD NumberOf(const std::string& key) const;  // 0 when left out
    std::vector<std::wstring> ListOf(const std::string& key) const;  // comma separated

private:
    std::map<std::string, std::wstring> values_;
};

// A user, local group, share, session or open file.
struct Entry {
    std::wstring name;  // empty for sessions and files
    Attributes attributes;
};

struct Failure {
    DWORD status = 0;
    std::optional<DWORD> level;  // only calls at this level fail
    bool handsOutBuffer = false;
    DWORD fromCall = 1;  // the earlier calls of the function answer
};

// How the calls of each function (by name, "*" for every one) behave.
struct Behaviour {
    std::map<std::wstring, Failure> failures;
    std::map<std::wstring, DWORD> delaysMs;
    std::map<std::wstring, DWORD> partSizes;
    std::map<std::wstring, DWORD> callsSeen;  // by function, this call counted

    const Failure* FailureOf(const std::wstring& function, DWORD level) const;
    std::optional<DWORD> DelayOf(const std::wstring& function) const;
    std::optional<DWORD> PartSizeOf(const std::wstring& function) const;
};

struct Machine {
    std::wstring name;
    std::optional<std::wstring> domain;
    DWORD type = 0;
    Text comment;
    std::vector<std::wstring> disks;
    std::vector<Entry> users;
    std::vector<Entry> localGroups;
    std::vector<Entry> shares;
    std::vector<Entry> sessions;
    std::vector<Entry> files;
    Behaviour behaviour;

    // The account of that name (any case), the first of that name.
    const Entry* FindUser(const wchar_t* name) const;
    // The local groups that list the account as a member, in the groups'
    // order (a group that lists it twice, twice).
    std::vector<const std::wstring*> LocalGroupsOf(const wchar_t* name) const;
    // Made once the script is read: a call about one of many accounts then
    // walks neither the accounts nor every group's members.
    void IndexAccounts();

private:
    std::unordered_map<std::wstring, std::size_t> userAt_;  // by folded name
    std::unordered_map<std::wstring, std::vector<std::size_t>> localGroupsOf_;
};

struct Domain {
    std::wstring name;
    Behaviour behaviour;  // of the listing of its machines
};

struct Network {
    std::vector<Domain> domains;
    std::vector<Machine> machines;
    Behaviour behaviour;  // network-wide, below every machine's and domain's own

    // The machine a server argument names ("\\NAME" or "NAME", any case); an
    // empty or null one is this computer.
    Machine* FindMachine(const wchar_t* server, const std::wstring& computerName);
    Domain* FindDomain(const std::wstring& name);
};

// Reads a script; throws std::runtime_error naming the line of a fault.
Network ReadNetwork(std::string_view utf8, const std::wstring& computerName);

bool SameName(std::wstring_view a, std::wstring_view b);  // ignoring case
std::wstring FromUtf8(std::string_view text);
std::string ToUtf8(std::wstring_view text);

}  // namespace scripted
