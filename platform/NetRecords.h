#pragma once
// The records of the network management interface copied into the program's
// own (NetApi.h), for both of its implementations: netapi32's structures and
// libnetapi's have the same members, the one with UTF-16 texts, the other
// with UTF-8, so each copy is written once over the structure and the
// conversion of its texts (`text`: a system text, possibly null, to UTF-8).
#include <cstdint>

#include "platform/NetApi.h"

namespace platform {

// The records of a successful enumeration (`count` of them from `data`), each
// made an entry by `copy`; nothing of a failed one.
template <typename Record, typename Entry, typename Copy>
NetList<Entry> CopyList(NetStatus status, const void* data, std::uint32_t count, Copy copy) {
    NetList<Entry> list;
    list.status = status;
    if (status != 0 || data == nullptr) return list;
    const auto* records = static_cast<const Record*>(data);
    list.entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) list.entries.push_back(copy(records[i]));
    return list;
}

// The one record of a successful information query, made a value by `copy`.
template <typename Record, typename Value, typename Copy>
NetRecord<Value> CopyRecord(NetStatus status, const void* data, Copy copy) {
    NetRecord<Value> record;
    record.status = status;
    if (status == 0 && data != nullptr) record.value = copy(*static_cast<const Record*>(data));
    return record;
}

template <typename Record, typename Text>
UserInfo3 CopyUserInfo3(const Record& u, Text text) {
    UserInfo3 info;
    info.name = text(u.usri3_name);
    info.password_age = u.usri3_password_age;
    info.priv = u.usri3_priv;
    info.home_dir = text(u.usri3_home_dir);
    info.comment = text(u.usri3_comment);
    info.flags = u.usri3_flags;
    info.script_path = text(u.usri3_script_path);
    info.auth_flags = u.usri3_auth_flags;
    info.full_name = text(u.usri3_full_name);
    info.usr_comment = text(u.usri3_usr_comment);
    info.parms = text(u.usri3_parms);
    info.workstations = text(u.usri3_workstations);
    info.last_logon = u.usri3_last_logon;
    info.last_logoff = u.usri3_last_logoff;
    info.acct_expires = u.usri3_acct_expires;
    info.max_storage = u.usri3_max_storage;
    info.user_id = u.usri3_user_id;
    info.primary_group_id = u.usri3_primary_group_id;
    info.profile = text(u.usri3_profile);
    info.home_dir_drive = text(u.usri3_home_dir_drive);
    info.password_expired = u.usri3_password_expired;
    return info;
}

template <typename Record, typename Text>
UserInfo20 CopyUserInfo20(const Record& u, Text text) {
    return {text(u.usri20_name), text(u.usri20_full_name), text(u.usri20_comment),
            u.usri20_flags, u.usri20_user_id};
}

template <typename Record, typename Text>
ShareInfo2 CopyShareInfo2(const Record& s, Text text) {
    return {text(s.shi2_netname),  s.shi2_type,        text(s.shi2_remark),
            s.shi2_permissions,    s.shi2_max_uses,    s.shi2_current_uses,
            text(s.shi2_path),     text(s.shi2_passwd)};
}

template <typename Record, typename Text>
FileInfo3 CopyFileInfo3(const Record& f, Text text) {
    return {f.fi3_id, f.fi3_permissions, f.fi3_num_locks, text(f.fi3_pathname),
            text(f.fi3_username)};
}

}  // namespace platform
