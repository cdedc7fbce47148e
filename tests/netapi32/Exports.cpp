// The scripted netapi32.dll: the functions that Network View calls, answered
// from the scripted network (NetworkScript.h) with buffers laid out as the
// system lays them out, and a few functions of its own with which a test
// loads a script and reads back what the library saw.
#include <windows.h>
// This library is where the locator's functions come from, not where they
// are imported from.
#define _DSGETDCAPI_
#include <dsgetdc.h>
#include <lm.h>

#include "tests/netapi32/Library.h"

using namespace scripted;

namespace {

const wchar_t* const kLevel = L"level";
const wchar_t* const kPrefMaxLen = L"prefmaxlen";

// The machine's answer to a call, or the status that comes instead of it.
template <typename Answer>
NET_API_STATUS AtMachine(Call& call, const wchar_t* server, DWORD level, std::size_t recordBytes,
                         Answer answer) {
    Machine* machine = call.Find(server);
    if (const DWORD status = call.Prelude(machine ? &machine->behaviour : nullptr, level, recordBytes))
        return status;
    if (machine == nullptr) return ERROR_BAD_NETPATH;
    return answer(*machine);
}

std::wstring WithoutBackslashes(const wchar_t* name) {
    std::wstring_view view = name ? name : L"";
    while (!view.empty() && view.front() == L'\\') view.remove_prefix(1);
    return std::wstring(view);
}

const Entry* FindEntry(const std::vector<Entry>& entries, const wchar_t* name) {
    for (const auto& entry : entries)
        if (name && SameName(entry.name, name)) return &entry;
    return nullptr;
}

void FillUser3(Records<USER_INFO_3>& r, std::size_t i, const Entry& user) {
    const Attributes& a = user.attributes;
    r.SetText(i, &USER_INFO_3::usri3_name, user.name);
    r.SetText(i, &USER_INFO_3::usri3_home_dir, a.TextOf("home_dir"));
    r.SetText(i, &USER_INFO_3::usri3_comment, a.TextOf("comment"));
    r.SetText(i, &USER_INFO_3::usri3_script_path, a.TextOf("script_path"));
    r.SetText(i, &USER_INFO_3::usri3_full_name, a.TextOf("full_name"));
    r.SetText(i, &USER_INFO_3::usri3_usr_comment, a.TextOf("usr_comment"));
    r.SetText(i, &USER_INFO_3::usri3_parms, a.TextOf("parms"));
    r.SetText(i, &USER_INFO_3::usri3_workstations, a.TextOf("workstations"));
    r.SetText(i, &USER_INFO_3::usri3_logon_server, std::wstring(L"\\\\*"));
    r.SetText(i, &USER_INFO_3::usri3_profile, a.TextOf("profile"));
    r.SetText(i, &USER_INFO_3::usri3_home_dir_drive, a.TextOf("home_dir_drive"));
    USER_INFO_3& u = r[i];
    u.usri3_password_age = a.NumberOf("password_age");
    u.usri3_priv = a.NumberOf("priv");
    u.usri3_flags = a.NumberOf("flags");
    u.usri3_auth_flags = a.NumberOf("auth_flags");
    u.usri3_last_logon = a.NumberOf("last_logon");
    u.usri3_last_logoff = a.NumberOf("last_logoff");
    u.usri3_acct_expires = a.NumberOf("acct_expires");
    u.usri3_max_storage = a.NumberOf("max_storage");
    u.usri3_units_per_week = UNITS_PER_WEEK;
    u.usri3_user_id = a.NumberOf("user_id");
    u.usri3_primary_group_id = a.NumberOf("primary_group_id");
    u.usri3_password_expired = a.NumberOf("password_expired");
}

void FillUser20(Records<USER_INFO_20>& r, std::size_t i, const Entry& user) {
    const Attributes& a = user.attributes;
    r.SetText(i, &USER_INFO_20::usri20_name, user.name);
    r.SetText(i, &USER_INFO_20::usri20_full_name, a.TextOf("full_name"));
    r.SetText(i, &USER_INFO_20::usri20_comment, a.TextOf("comment"));
    r[i].usri20_flags = a.NumberOf("flags");
    r[i].usri20_user_id = a.NumberOf("user_id");
}

void FillShare2(Records<SHARE_INFO_2>& r, std::size_t i, const Entry& share) {
    const Attributes& a = share.attributes;
    r.SetText(i, &SHARE_INFO_2::shi2_netname, share.name);
    r.SetText(i, &SHARE_INFO_2::shi2_remark, a.TextOf("remark"));
    r.SetText(i, &SHARE_INFO_2::shi2_path, a.TextOf("path"));
    r.SetText(i, &SHARE_INFO_2::shi2_passwd, a.TextOf("passwd"));
    r[i].shi2_type = a.NumberOf("type");
    r[i].shi2_permissions = a.NumberOf("permissions");
    r[i].shi2_max_uses = a.NumberOf("max_uses");
    r[i].shi2_current_uses = a.NumberOf("current_uses");
}

void FillSession502(Records<SESSION_INFO_502>& r, std::size_t i, const Entry& session) {
    const Attributes& a = session.attributes;
    r.SetText(i, &SESSION_INFO_502::sesi502_cname, a.TextOf("cname"));
    r.SetText(i, &SESSION_INFO_502::sesi502_username, a.TextOf("user"));
    r.SetText(i, &SESSION_INFO_502::sesi502_cltype_name, a.TextOf("cltype"));
    r.SetText(i, &SESSION_INFO_502::sesi502_transport, a.TextOf("transport"));
    r[i].sesi502_num_opens = a.NumberOf("opens");
    r[i].sesi502_time = a.NumberOf("time");
    r[i].sesi502_idle_time = a.NumberOf("idle");
    r[i].sesi502_user_flags = a.NumberOf("user_flags");
}

void FillFile3(Records<FILE_INFO_3>& r, std::size_t i, const Entry& file) {
    const Attributes& a = file.attributes;
    r.SetText(i, &FILE_INFO_3::fi3_pathname, a.TextOf("path"));
    r.SetText(i, &FILE_INFO_3::fi3_username, a.TextOf("user"));
    r[i].fi3_id = a.NumberOf("id");
    r[i].fi3_permissions = a.NumberOf("permissions");
    r[i].fi3_num_locks = a.NumberOf("locks");
}

// A list of names at a level whose record is the name alone.
template <typename Record>
auto NameOnly(wchar_t* Record::*field) {
    return [field](Records<Record>& r, std::size_t i, const std::wstring& name) {
        r.SetText(i, field, name);
    };
}

// NetServerDiskEnum's level 0: three characters a drive, and one empty slot
// after the last.
struct DiskSlot {
    wchar_t text[3];
};

bool Matches(const Text& value, const wchar_t* wanted) {
    return wanted == nullptr || (value && SameName(WithoutBackslashes(value->c_str()), WithoutBackslashes(wanted)));
}

}  // namespace

extern "C" {

NET_API_STATUS WINAPI NetApiBufferAllocate(DWORD ByteCount, LPVOID* Buffer) {
    if (Buffer == nullptr) return ERROR_INVALID_PARAMETER;
    Library& lib = Library::Get();
    std::lock_guard<std::mutex> lock(lib.mutex);
    *Buffer = lib.ledger.Allocate(ByteCount);
    return *Buffer ? NERR_Success : ERROR_NOT_ENOUGH_MEMORY;
}

NET_API_STATUS WINAPI NetApiBufferFree(LPVOID Buffer) {
    if (Buffer == nullptr) return NERR_Success;
    Library& lib = Library::Get();
    std::lock_guard<std::mutex> lock(lib.mutex);
    return lib.ledger.Release(Buffer) ? NERR_Success : ERROR_INVALID_PARAMETER;
}

NET_API_STATUS WINAPI NetServerEnum(LMCSTR servername, DWORD level, LPBYTE* bufptr,
                                    DWORD prefmaxlen, LPDWORD entriesread, LPDWORD totalentries,
                                    DWORD servertype, LMCSTR domain, LPDWORD resume_handle) {
    Call call(L"NetServerEnum",
              {TextArgument(L"servername", servername), NumberArgument(kLevel, level),
               HexArgument(kPrefMaxLen, prefmaxlen), HexArgument(L"servertype", servertype),
               TextArgument(L"domain", domain), ResumeArgument(L"resume_handle", resume_handle)},
              bufptr, entriesread, totalentries);
    Network& net = call.lib().network;
    // With SV_TYPE_DOMAIN_ENUM alone the browse list names the domains;
    // without a domain the machines are those of the primary (first) one.
    const bool domains = servertype == SV_TYPE_DOMAIN_ENUM;
    Domain* listed = domains ? nullptr
                     : domain ? net.FindDomain(domain)
                     : net.domains.empty() ? nullptr : &net.domains.front();
    if (const DWORD status = call.Prelude(listed ? &listed->behaviour : nullptr, level,
                                          sizeof(SERVER_INFO_100)))
        return status;
    if (level != 100) return ERROR_INVALID_LEVEL;
    if (!domains && listed == nullptr) return ERROR_NO_BROWSER_SERVERS_FOUND;
    std::vector<const std::wstring*> names;
    if (domains)
        for (const auto& d : net.domains) names.push_back(&d.name);
    for (const auto& m : net.machines)
        if (!domains && m.domain && SameName(*m.domain, listed->name) && (m.type & servertype))
            names.push_back(&m.name);
    const Behaviour none;
    return HandOutList<SERVER_INFO_100>(
        call, names, call.PartSize(listed ? listed->behaviour : none), resume_handle,
        [](Records<SERVER_INFO_100>& r, std::size_t i, const std::wstring& name) {
            r[i].sv100_platform_id = PLATFORM_ID_NT;
            r.SetText(i, &SERVER_INFO_100::sv100_name, name);
        });
}

NET_API_STATUS WINAPI NetServerGetInfo(LMSTR servername, DWORD level, LPBYTE* bufptr) {
    Call call(L"NetServerGetInfo",
              {TextArgument(L"servername", servername), NumberArgument(kLevel, level)}, bufptr);
    return AtMachine(call, servername, level, sizeof(SERVER_INFO_101), [&](Machine& m) -> DWORD {
        if (level != 101) return ERROR_INVALID_LEVEL;
        Records<SERVER_INFO_101> r(1);
        r[0].sv101_platform_id = PLATFORM_ID_NT;
        r[0].sv101_version_major = 10;
        r[0].sv101_type = m.type;
        r.SetText(0, &SERVER_INFO_101::sv101_name, m.name);
        r.SetText(0, &SERVER_INFO_101::sv101_comment, m.comment);
        call.HandOut(r);
        return NERR_Success;
    });
}

NET_API_STATUS WINAPI NetServerDiskEnum(LMSTR servername, DWORD level, LPBYTE* bufptr,
                                        DWORD prefmaxlen, LPDWORD entriesread,
                                        LPDWORD totalentries, LPDWORD resume_handle) {
    Call call(L"NetServerDiskEnum",
              {TextArgument(L"servername", servername), NumberArgument(kLevel, level),
               HexArgument(kPrefMaxLen, prefmaxlen), ResumeArgument(L"resume_handle", resume_handle)},
              bufptr, entriesread, totalentries);
    return AtMachine(call, servername, level, sizeof(DiskSlot), [&](Machine& m) -> DWORD {
        if (level != 0) return ERROR_INVALID_LEVEL;
        return HandOutList<DiskSlot>(
            call, All(m.disks), call.PartSize(m.behaviour), resume_handle,
            [](Records<DiskSlot>& r, std::size_t i, const std::wstring& drive) {
                for (std::size_t c = 0; c < 2 && c < drive.size(); ++c) r[i].text[c] = drive[c];
            },
            1);
    });
}

NET_API_STATUS WINAPI NetUserEnum(LPCWSTR servername, DWORD level, DWORD filter, LPBYTE* bufptr,
                                  DWORD prefmaxlen, LPDWORD entriesread, LPDWORD totalentries,
                                  LPDWORD resume_handle) {
    Call call(L"NetUserEnum",
              {TextArgument(L"servername", servername), NumberArgument(kLevel, level),
               NumberArgument(L"filter", filter), HexArgument(kPrefMaxLen, prefmaxlen),
               ResumeArgument(L"resume_handle", resume_handle)},
              bufptr, entriesread, totalentries);
    return AtMachine(call, servername, level, sizeof(USER_INFO_3), [&](Machine& m) -> DWORD {
        // Each filter bit stands for the account type bit eight places up
        // (FILTER_NORMAL_ACCOUNT 2 for UF_NORMAL_ACCOUNT 0x200); 0 is all.
        std::vector<const Entry*> users;
        for (const auto& u : m.users)
            if (filter == 0 || ((u.attributes.NumberOf("flags") >> 8) & filter)) users.push_back(&u);
        const auto part = call.PartSize(m.behaviour);
        if (level == 0)
            return HandOutList<USER_INFO_0>(call, users, part, resume_handle,
                                            [](Records<USER_INFO_0>& r, std::size_t i, const Entry& u) {
                                                r.SetText(i, &USER_INFO_0::usri0_name, u.name);
                                            });
        if (level == 3) return HandOutList<USER_INFO_3>(call, users, part, resume_handle, FillUser3);
        return ERROR_INVALID_LEVEL;
    });
}

NET_API_STATUS WINAPI NetUserGetInfo(LPCWSTR servername, LPCWSTR username, DWORD level,
                                     LPBYTE* bufptr) {
    Call call(L"NetUserGetInfo",
              {TextArgument(L"servername", servername), TextArgument(L"username", username),
               NumberArgument(kLevel, level)},
              bufptr);
    return AtMachine(call, servername, level, sizeof(USER_INFO_3), [&](Machine& m) -> DWORD {
        const Entry* user = m.FindUser(username);
        if (user == nullptr) return NERR_UserNotFound;
        if (level == 20) {
            Records<USER_INFO_20> r(1);
            FillUser20(r, 0, *user);
            call.HandOut(r);
        } else if (level == 3) {
            Records<USER_INFO_3> r(1);
            FillUser3(r, 0, *user);
            call.HandOut(r);
        } else {
            return ERROR_INVALID_LEVEL;
        }
        return NERR_Success;
    });
}

NET_API_STATUS WINAPI NetUserGetGroups(LPCWSTR servername, LPCWSTR username, DWORD level,
                                       LPBYTE* bufptr, DWORD prefmaxlen, LPDWORD entriesread,
                                       LPDWORD totalentries) {
    Call call(L"NetUserGetGroups",
              {TextArgument(L"servername", servername), TextArgument(L"username", username),
               NumberArgument(kLevel, level), HexArgument(kPrefMaxLen, prefmaxlen)},
              bufptr, entriesread, totalentries);
    return AtMachine(call, servername, level, sizeof(GROUP_USERS_INFO_0), [&](Machine& m) -> DWORD {
        const Entry* user = m.FindUser(username);
        if (user == nullptr) return NERR_UserNotFound;
        if (level != 0) return ERROR_INVALID_LEVEL;
        const auto groups = user->attributes.ListOf("groups");
        return HandOutList<GROUP_USERS_INFO_0>(call, All(groups), call.PartSize(m.behaviour),
                                               static_cast<DWORD*>(nullptr),
                                               NameOnly(&GROUP_USERS_INFO_0::grui0_name));
    });
}

NET_API_STATUS WINAPI NetUserGetLocalGroups(LPCWSTR servername, LPCWSTR username, DWORD level,
                                            DWORD flags, LPBYTE* bufptr, DWORD prefmaxlen,
                                            LPDWORD entriesread, LPDWORD totalentries) {
    Call call(L"NetUserGetLocalGroups",
              {TextArgument(L"servername", servername), TextArgument(L"username", username),
               NumberArgument(kLevel, level), NumberArgument(L"flags", flags),
               HexArgument(kPrefMaxLen, prefmaxlen)},
              bufptr, entriesread, totalentries);
    return AtMachine(call, servername, level, sizeof(LOCALGROUP_USERS_INFO_0), [&](Machine& m) -> DWORD {
        if (m.FindUser(username) == nullptr) return NERR_UserNotFound;
        if (level != 0) return ERROR_INVALID_LEVEL;
        const std::vector<const std::wstring*> groups = m.LocalGroupsOf(username);
        return HandOutList<LOCALGROUP_USERS_INFO_0>(call, groups, call.PartSize(m.behaviour),
                                                    static_cast<DWORD*>(nullptr),
                                                    NameOnly(&LOCALGROUP_USERS_INFO_0::lgrui0_name));
    });
}

NET_API_STATUS WINAPI NetLocalGroupEnum(LPCWSTR servername, DWORD level, LPBYTE* bufptr,
                                        DWORD prefmaxlen, LPDWORD entriesread,
                                        LPDWORD totalentries, PDWORD_PTR resumehandle) {
    Call call(L"NetLocalGroupEnum",
              {TextArgument(L"servername", servername), NumberArgument(kLevel, level),
               HexArgument(kPrefMaxLen, prefmaxlen), ResumeArgument(L"resumehandle", resumehandle)},
              bufptr, entriesread, totalentries);
    return AtMachine(call, servername, level, sizeof(LOCALGROUP_INFO_0), [&](Machine& m) -> DWORD {
        if (level != 0) return ERROR_INVALID_LEVEL;
        return HandOutList<LOCALGROUP_INFO_0>(
            call, All(m.localGroups), call.PartSize(m.behaviour), resumehandle,
            [](Records<LOCALGROUP_INFO_0>& r, std::size_t i, const Entry& g) {
                r.SetText(i, &LOCALGROUP_INFO_0::lgrpi0_name, g.name);
            });
    });
}

NET_API_STATUS WINAPI NetShareEnum(LMSTR servername, DWORD level, LPBYTE* bufptr, DWORD prefmaxlen,
                                   LPDWORD entriesread, LPDWORD totalentries,
                                   LPDWORD resume_handle) {
    Call call(L"NetShareEnum",
              {TextArgument(L"servername", servername), NumberArgument(kLevel, level),
               HexArgument(kPrefMaxLen, prefmaxlen), ResumeArgument(L"resume_handle", resume_handle)},
              bufptr, entriesread, totalentries);
    return AtMachine(call, servername, level, sizeof(SHARE_INFO_2), [&](Machine& m) -> DWORD {
        if (level != 2) return ERROR_INVALID_LEVEL;
        return HandOutList<SHARE_INFO_2>(call, All(m.shares), call.PartSize(m.behaviour),
                                         resume_handle, FillShare2);
    });
}

NET_API_STATUS WINAPI NetSessionEnum(LMSTR servername, LMSTR UncClientName, LMSTR username,
                                     DWORD level, LPBYTE* bufptr, DWORD prefmaxlen,
                                     LPDWORD entriesread, LPDWORD totalentries,
                                     LPDWORD resume_handle) {
    Call call(L"NetSessionEnum",
              {TextArgument(L"servername", servername), TextArgument(L"UncClientName", UncClientName),
               TextArgument(L"username", username), NumberArgument(kLevel, level),
               HexArgument(kPrefMaxLen, prefmaxlen), ResumeArgument(L"resume_handle", resume_handle)},
              bufptr, entriesread, totalentries);
    return AtMachine(call, servername, level, sizeof(SESSION_INFO_502), [&](Machine& m) -> DWORD {
        if (level != 502) return ERROR_INVALID_LEVEL;
        std::vector<const Entry*> sessions;
        for (const auto& s : m.sessions)
            if (Matches(s.attributes.TextOf("cname"), UncClientName) &&
                Matches(s.attributes.TextOf("user"), username))
                sessions.push_back(&s);
        return HandOutList<SESSION_INFO_502>(call, sessions, call.PartSize(m.behaviour),
                                             resume_handle, FillSession502);
    });
}

NET_API_STATUS WINAPI NetFileEnum(LMSTR servername, LMSTR basepath, LMSTR username, DWORD level,
                                  LPBYTE* bufptr, DWORD prefmaxlen, LPDWORD entriesread,
                                  LPDWORD totalentries, PDWORD_PTR resume_handle) {
    Call call(L"NetFileEnum",
              {TextArgument(L"servername", servername), TextArgument(L"basepath", basepath),
               TextArgument(L"username", username), NumberArgument(kLevel, level),
               HexArgument(kPrefMaxLen, prefmaxlen), ResumeArgument(L"resume_handle", resume_handle)},
              bufptr, entriesread, totalentries);
    return AtMachine(call, servername, level, sizeof(FILE_INFO_3), [&](Machine& m) -> DWORD {
        if (level != 3) return ERROR_INVALID_LEVEL;
        std::vector<const Entry*> files;
        for (const auto& f : m.files) {
            const Text path = f.attributes.TextOf("path");
            const bool under = basepath == nullptr ||
                               (path && SameName(path->substr(0, wcslen(basepath)), basepath));
            if (under && Matches(f.attributes.TextOf("user"), username)) files.push_back(&f);
        }
        return HandOutList<FILE_INFO_3>(call, files, call.PartSize(m.behaviour), resume_handle,
                                        FillFile3);
    });
}

NET_API_STATUS WINAPI NetShareDel(LMSTR servername, LMSTR netname, DWORD reserved) {
    Call call(L"NetShareDel", {TextArgument(L"servername", servername),
                               TextArgument(L"netname", netname), NumberArgument(L"reserved", reserved)});
    return AtMachine(call, servername, 0, 0, [&](Machine& m) -> DWORD {
        if (netname == nullptr || reserved != 0) return ERROR_INVALID_PARAMETER;
        const Entry* share = FindEntry(m.shares, netname);
        if (share == nullptr) return NERR_NetNameNotFound;
        m.shares.erase(m.shares.begin() + (share - m.shares.data()));
        return NERR_Success;
    });
}

NET_API_STATUS WINAPI NetSessionDel(LMSTR servername, LMSTR UncClientName, LMSTR username) {
    Call call(L"NetSessionDel",
              {TextArgument(L"servername", servername), TextArgument(L"UncClientName", UncClientName),
               TextArgument(L"username", username)});
    return AtMachine(call, servername, 0, 0, [&](Machine& m) -> DWORD {
        if (UncClientName == nullptr && username == nullptr) return ERROR_INVALID_PARAMETER;
        // Every session of the client and user ends, and with it the files
        // the user held open.
        const auto ended = std::remove_if(m.sessions.begin(), m.sessions.end(), [&](const Entry& s) {
            return Matches(s.attributes.TextOf("cname"), UncClientName) &&
                   Matches(s.attributes.TextOf("user"), username);
        });
        if (ended == m.sessions.end()) return UncClientName ? NERR_ClientNameNotFound : NERR_UserNotFound;
        m.sessions.erase(ended, m.sessions.end());
        if (username)
            m.files.erase(std::remove_if(m.files.begin(), m.files.end(),
                                         [&](const Entry& f) { return Matches(f.attributes.TextOf("user"), username); }),
                          m.files.end());
        return NERR_Success;
    });
}

NET_API_STATUS WINAPI NetFileClose(LMSTR servername, DWORD fileid) {
    Call call(L"NetFileClose", {TextArgument(L"servername", servername), NumberArgument(L"fileid", fileid)});
    return AtMachine(call, servername, 0, 0, [&](Machine& m) -> DWORD {
        const auto it = std::find_if(m.files.begin(), m.files.end(), [&](const Entry& f) {
            return f.attributes.NumberOf("id") == fileid;
        });
        if (it == m.files.end()) return NERR_FileIdNotFound;
        m.files.erase(it);
        return NERR_Success;
    });
}

// ---------------------------------------------------------------- for tests

// Replaces the network by the script (UTF-8) and starts a fresh ledger;
// returns null, or why the script could not be read.
const wchar_t* WINAPI ScriptedNetworkLoad(const char* script) {
    Library& lib = Library::Get();
    std::lock_guard<std::mutex> lock(lib.mutex);
    lib.ledger.Clear();
    lib.Load(script ? script : "");
    return lib.fault.empty() ? nullptr : lib.fault.c_str();
}

// The scripted networks are browsed networks, and this computer is in none
// of their domains: the locator answers as on a computer in no domain.
DWORD WINAPI DsGetDcNameW(LPCWSTR, LPCWSTR domainname, GUID*, LPCWSTR, ULONG flags,
                          PDOMAIN_CONTROLLER_INFOW* info) {
    Call call(L"DsGetDcNameW", {TextArgument(L"domainname", domainname), HexArgument(L"flags", flags)});
    if (info) *info = nullptr;
    if (const DWORD status = call.Prelude(nullptr, 0, 0)) return status;
    return ERROR_NO_SUCH_DOMAIN;
}

// Every call since the script was loaded, one line each; valid until the
// next call of a function of this library.
const wchar_t* WINAPI ScriptedNetworkCalls() {
    static std::wstring calls;
    Library& lib = Library::Get();
    std::lock_guard<std::mutex> lock(lib.mutex);
    calls = lib.ledger.Calls();
    return calls.c_str();
}

void WINAPI ScriptedNetworkBuffers(DWORD* handedOut, DWORD* freed, DWORD* strayFrees) {
    Library& lib = Library::Get();
    std::lock_guard<std::mutex> lock(lib.mutex);
    if (handedOut) *handedOut = lib.ledger.HandedOut();
    if (freed) *freed = lib.ledger.Freed();
    if (strayFrees) *strayFrees = lib.ledger.StrayFrees();
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_DETACH) return TRUE;
    // A thread that was ended while it held the lock cannot give it back.
    Library& lib = Library::Get();
    std::unique_lock<std::mutex> lock(lib.mutex, std::try_to_lock);
    if (lib.loaded) lib.ledger.WriteBufferCount();
    return TRUE;
}

}  // extern "C"
