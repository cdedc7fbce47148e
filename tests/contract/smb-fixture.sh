#!/bin/bash
# Runs a command beside a private Samba server: smbd with its own smb.conf,
# state, lock, cache and pid folders and its own tdbsam user database, all under
# one folder, listening on port 445 of the loopback of a network namespace of
# its own (so that the fixtures of several builds on one machine never meet).
# The command runs in the same namespace, so that libnetapi and smbclient reach
# the server at 127.0.0.1 on the standard port while loading nothing but the
# default client configuration. The namespace also has its own process ids:
# when this script ends, every process left in it (smbd, its RPC helpers, a
# stray smbclient) is ended by the kernel; and its own mounts, which go with
# it. The accounts behind the Samba users exist only in nss_wrapper's passwd
# file, so no system account, service or configuration file is touched.
#
# Usage: smb-fixture.sh FOLDER COMMAND [ARGS...]
# Exports to COMMAND: NV_SMB_SERVER, NV_SMB_USER, NV_SMB_PASSWORD, NV_SMB_ROOT,
# NV_SMB_SHARES, NV_SMB_CONF and the fixture's names (see below). Exits with
# COMMAND's status; 77 when the machine cannot give the fixture its namespaces
# (without root) or lacks Samba.
#
# Two settings, both off unless given:
# NV_SMB_RELAY_MS="5 50"  slow links: for each round-trip time, a relay
#     (smb-relay.py) listening on port 445 of an address of its own
#     (127.0.0.2, 127.0.0.3, ...) that passes every exchange on to the server
#     that much later; NV_SMB_RELAY_5 and NV_SMB_RELAY_50 name those addresses.
#     The server itself listens on 127.0.0.1 only.
# NV_SMB_ACCOUNTS=200     that many more accounts (NV_SMB_ACCOUNT_PREFIX
#     followed by a number of four digits), each in the account's builtin
#     local group NV_SMB_GROUP; the second account then stays out of the
#     server's own local group NV_SMB_DOMAIN_GROUP, whose membership
#     libnetapi cannot name, so that every account's details can be read.
set -euo pipefail

if [ "${NV_SMB_IN_NAMESPACE:-}" != 1 ]; then
    for tool in smbd smbclient pdbedit net unshare ip; do
        if ! command -v "$tool" >/dev/null && [ ! -x "/usr/sbin/$tool" ]; then
            echo "smb-fixture: $tool is missing; skipping" >&2
            exit 77
        fi
    done
    if [ ! -d /srv ] || ! unshare --net --pid --mount --fork true 2>/dev/null; then
        echo "smb-fixture: no network namespace can be made here (needs root); skipping" >&2
        exit 77
    fi
    export NV_SMB_IN_NAMESPACE=1
    # A /proc of its own, so that tools that read their own process (the
    # sanitizers of the test program among them) find it there.
    exec unshare --net --pid --mount --fork --mount-proc --kill-child -- "$0" "$@"
fi

[ $# -ge 2 ] || { echo "usage: $0 FOLDER COMMAND [ARGS...]" >&2; exit 2; }
root="$(mkdir -p "$1" && cd "$1" && pwd)"
shift
PATH="$PATH:/usr/sbin:/sbin"

nss_wrapper=""
for lib in /usr/lib/*/libnss_wrapper.so /usr/lib/libnss_wrapper.so /usr/lib64/libnss_wrapper.so; do
    [ -e "$lib" ] && { nss_wrapper="$lib"; break; }
done
[ -n "$nss_wrapper" ] || { echo "smb-fixture: libnss_wrapper.so is missing; skipping" >&2; exit 77; }

ip link set lo up

# A fresh server every run: what an earlier run removed or left open must not
# leak into this one.
rm -rf "$root/srv"
mkdir -p "$root/srv"
chmod 0755 "$root/srv"
# The server's folders are reached through /srv, where this script's private
# mount namespace shows the build folder's srv/ (nobody outside sees it): the
# account's Unix user must reach the shared folders and the server's state,
# and the build folder may lie below a home folder that no other user may
# enter.
mount --bind "$root/srv" /srv
srv=/srv
shares="$srv/shares"
mkdir -p "$srv"/{private,lock,state,cache,pid,ncalrpc,log} "$shares"/{docs,public,scratch,outbox}
chmod 0755 "$shares"

export NV_SMB_SERVER="127.0.0.1"
export NV_SMB_USER="ada"
export NV_SMB_PASSWORD="Analytical-Engine-1843"
export NV_SMB_FULLNAME="Ada Lovelace"
export NV_SMB_COMMENT="Writes the programs"
# The account's local group is a builtin one: libnetapi can name an account's
# builtin groups only (see NetApiSamba). A local group of the server's own
# domain holds a second account.
export NV_SMB_GROUP="Administrators"
export NV_SMB_DOMAIN_GROUP="engineers"
export NV_SMB_MEMBER="bob"
export NV_SMB_SHARE1="docs"
export NV_SMB_REMARK1="Project documents"
export NV_SMB_SHARE2="public"
export NV_SMB_REMARK2="Files for everyone"
export NV_SMB_SCRATCH="scratch"
export NV_SMB_OUTBOX="outbox"
export NV_SMB_FILE="notes.txt"
export NV_SMB_OTHER_FILE="draft.txt"
export NV_SMB_ROOT="$srv"
export NV_SMB_SHARES="$shares"
export NV_SMB_CONF="$srv/smb.conf"
uid=4711
gid=4711

echo "The first line of the notes." >"$shares/docs/$NV_SMB_FILE"
echo "A draft beside the notes." >"$shares/docs/$NV_SMB_OTHER_FILE"
echo "A file for everyone." >"$shares/public/readme.txt"
for share in scratch outbox; do
    echo "Stays when the share goes." >"$shares/$share/keep.txt"
done
chown -R "$uid:$gid" "$shares"

export NSS_WRAPPER_PASSWD="$srv/passwd"
export NSS_WRAPPER_GROUP="$srv/group"
cat >"$NSS_WRAPPER_PASSWD" <<PASSWD
root:x:0:0:root:/root:/bin/false
nobody:x:65534:65534:nobody:/nonexistent:/bin/false
$NV_SMB_USER:x:$uid:$gid:$NV_SMB_FULLNAME:$srv:/bin/false
$NV_SMB_MEMBER:x:4712:$gid::$srv:/bin/false
PASSWD
export NV_SMB_ACCOUNT_PREFIX="clerk"
accounts="${NV_SMB_ACCOUNTS:-0}"
for i in $(seq 1 "$accounts"); do
    printf '%s%04d:x:%d:%d::%s:/bin/false\n' "$NV_SMB_ACCOUNT_PREFIX" "$i" $((5000 + i)) "$gid" "$srv"
done >>"$NSS_WRAPPER_PASSWD"
cat >"$NSS_WRAPPER_GROUP" <<GROUP
root:x:0:
nogroup:x:65534:
users:x:$gid:
$NV_SMB_DOMAIN_GROUP:x:4800:
nvadmins:x:4801:
GROUP

# Samba removes a share by running this command with the configuration file
# and the share's name; it drops the share's section from the private smb.conf.
cat >"$srv/delete-share.sh" <<'DELETE'
#!/bin/sh
conf="$1"
share="$2"
awk -v name="[$share]" '
    /^\[/ { skip = (tolower($0) == tolower(name)) }
    !skip { print }
' "$conf" >"$conf.new" && mv "$conf.new" "$conf"
DELETE
chmod 0755 "$srv/delete-share.sh"

cat >"$NV_SMB_CONF" <<CONF
[global]
    workgroup = NVTEST
    netbios name = NVSERVER
    server string = Network View contract server
    server role = standalone server
    passdb backend = tdbsam:$srv/private/passdb.tdb
    private dir = $srv/private
    lock directory = $srv/lock
    state directory = $srv/state
    cache directory = $srv/cache
    pid directory = $srv/pid
    ncalrpc dir = $srv/ncalrpc
    log file = $srv/log/log.%m
    max log size = 0
    log level = 1
    interfaces = lo
    bind interfaces only = yes
    smb ports = 445
    disable netbios = yes
    load printers = no
    printing = bsd
    printcap name = /dev/null
    disable spoolss = yes
    delete share command = $srv/delete-share.sh
    map to guest = never

[$NV_SMB_SHARE1]
    path = $shares/docs
    comment = $NV_SMB_REMARK1
    read only = no

[$NV_SMB_SHARE2]
    path = $shares/public
    comment = $NV_SMB_REMARK2
    read only = no

[$NV_SMB_SCRATCH]
    path = $shares/scratch
    comment = Removed through the seam

[$NV_SMB_OUTBOX]
    path = $shares/outbox
    comment = Removed through the window
CONF

wrapped() { LD_PRELOAD="$nss_wrapper" "$@"; }

printf '%s\n%s\n' "$NV_SMB_PASSWORD" "$NV_SMB_PASSWORD" |
    wrapped pdbedit -s "$NV_SMB_CONF" -a -t -u "$NV_SMB_USER" -f "$NV_SMB_FULLNAME" >/dev/null
wrapped net -s "$NV_SMB_CONF" sam set comment "$NV_SMB_USER" "$NV_SMB_COMMENT" >/dev/null
printf '%s\n%s\n' "$NV_SMB_PASSWORD" "$NV_SMB_PASSWORD" |
    wrapped pdbedit -s "$NV_SMB_CONF" -a -t -u "$NV_SMB_MEMBER" >/dev/null
# Local groups (aliases) need a Unix group behind them; createlocalgroup would
# ask winbindd for one, so each alias is mapped onto one of nss_wrapper's.
# Being in Administrators lets the account list and close open files.
wrapped net -s "$NV_SMB_CONF" groupmap add sid=S-1-5-32-544 type=builtin unixgroup=nvadmins \
    ntgroup="$NV_SMB_GROUP" >/dev/null
wrapped net -s "$NV_SMB_CONF" sam addmem "$NV_SMB_GROUP" "$NV_SMB_USER" >/dev/null
wrapped net -s "$NV_SMB_CONF" groupmap add type=local unixgroup="$NV_SMB_DOMAIN_GROUP" \
    ntgroup="$NV_SMB_DOMAIN_GROUP" comment="The fixture's local group" >/dev/null
[ "$accounts" -gt 0 ] ||
    wrapped net -s "$NV_SMB_CONF" sam addmem "$NV_SMB_DOMAIN_GROUP" "$NV_SMB_MEMBER" >/dev/null
# Removing shares needs the disk operator right.
wrapped net -s "$NV_SMB_CONF" sam rights grant "$NV_SMB_USER" SeDiskOperatorPrivilege >/dev/null

# The many accounts come in one import of an smbpasswd file with the first
# account's password; a local group takes one member per call, so those calls
# run several at once.
if [ "$accounts" -gt 0 ]; then
    hash="$(wrapped pdbedit -s "$NV_SMB_CONF" -w -u "$NV_SMB_USER" | cut -d: -f3-)"
    for i in $(seq 1 "$accounts"); do
        printf '%s%04d:%d:%s\n' "$NV_SMB_ACCOUNT_PREFIX" "$i" $((5000 + i)) "$hash"
    done >"$srv/private/many.smbpasswd"
    wrapped pdbedit -s "$NV_SMB_CONF" -i "smbpasswd:$srv/private/many.smbpasswd" \
        -e "tdbsam:$srv/private/passdb.tdb" >/dev/null 2>&1
    seq -f "$NV_SMB_ACCOUNT_PREFIX%04g" 1 "$accounts" |
        LD_PRELOAD="$nss_wrapper" xargs -P 8 -n 1 net -s "$NV_SMB_CONF" sam addmem "$NV_SMB_GROUP" >/dev/null
fi

stop_server() {
    if [ -s "$srv/pid/smbd.pid" ]; then
        kill "$(cat "$srv/pid/smbd.pid")" 2>/dev/null || true
    fi
}
trap stop_server EXIT

wrapped smbd -D -s "$NV_SMB_CONF"

# smbd writes its pid file once it listens; wait for the server to answer.
for _ in $(seq 1 100); do
    smbclient -s "$NV_SMB_CONF" -L "//$NV_SMB_SERVER" -U "$NV_SMB_USER%$NV_SMB_PASSWORD" >/dev/null 2>&1 && break
    sleep 0.1
done
smbclient -s "$NV_SMB_CONF" -L "//$NV_SMB_SERVER" -U "$NV_SMB_USER%$NV_SMB_PASSWORD" >/dev/null 2>&1 || {
    echo "smb-fixture: the private smbd does not answer; its log:" >&2
    tail -n 40 "$srv"/log/* >&2 || true
    exit 1
}

# The relays of slow links, each on an address of its own.
if [ -n "${NV_SMB_RELAY_MS:-}" ] && ! command -v python3 >/dev/null; then
    echo "smb-fixture: python3 is missing; no relay" >&2
elif [ -n "${NV_SMB_RELAY_MS:-}" ]; then
    links=()
    n=2
    for ms in $NV_SMB_RELAY_MS; do
        links+=("127.0.0.$n=$ms")
        export "NV_SMB_RELAY_$ms=127.0.0.$n"
        n=$((n + 1))
    done
    python3 "$(dirname "$0")/smb-relay.py" "$NV_SMB_SERVER" 445 "${links[@]}" >"$srv/relay.out" &
    for _ in $(seq 1 100); do
        grep -q ready "$srv/relay.out" && break
        sleep 0.1
    done
    grep -q ready "$srv/relay.out" || { echo "smb-fixture: the relay does not listen" >&2; exit 1; }
fi

set +e
"$@"
status=$?
set -e
exit "$status"
