#!/bin/bash
# Runs a command beside a private Samba domain controller whose directory
# holds 2,500 computer accounts (the controller's own among them), 3 of them
# disabled. The controller answers LDAP on 127.0.0.1 in a network, process and
# mount namespace of its own, as smb-fixture.sh does for its server: nothing
# outside the namespace sees it, and when this script ends every process left
# in it ends with it.
#
# Provisioning and filling the directory takes about half a minute, so the
# filled domain is kept in FOLDER/template and made again only when this
# script changes; each run starts the controller on a fresh copy of it, so
# that what one run did never reaches the next. The native and the Windows
# build of a checkout name the same FOLDER.
#
# Usage: ad-fixture.sh FOLDER COMMAND [ARGS...]
# Exports to COMMAND: NV_AD_SERVER, NV_AD_DOMAIN, NV_AD_DNS_DOMAIN,
# NV_AD_CONTROLLER (the controller's own computer), NV_AD_USER,
# NV_AD_PASSWORD, NV_AD_COMPUTERS (how many enabled computer accounts there
# are), NV_AD_DISABLED (the disabled ones, blank-separated). Exits with
# COMMAND's status; 77 when the machine cannot give the fixture its namespaces
# (without root) or lacks the Samba domain controller.
set -euo pipefail
PATH="$PATH:/usr/sbin:/sbin"

if [ "${NV_AD_IN_NAMESPACE:-}" != 1 ]; then
    for tool in samba samba-tool ldbadd ldbsearch unshare ip; do
        if ! command -v "$tool" >/dev/null; then
            echo "ad-fixture: $tool is missing; skipping" >&2
            exit 77
        fi
    done
    if ! unshare --net --pid --mount --fork true 2>/dev/null; then
        echo "ad-fixture: no network namespace can be made here (needs root); skipping" >&2
        exit 77
    fi
    export NV_AD_IN_NAMESPACE=1
    exec unshare --net --pid --mount --fork --mount-proc --kill-child -- "$0" "$@"
fi

[ $# -ge 2 ] || { echo "usage: $0 FOLDER COMMAND [ARGS...]" >&2; exit 2; }
root="$(mkdir -p "$1" && cd "$1" && pwd)"
shift

export NV_AD_SERVER="127.0.0.1"
export NV_AD_DOMAIN="NVTEST"
export NV_AD_DNS_DOMAIN="nvtest.example"
export NV_AD_CONTROLLER="NVDC"
export NV_AD_USER="Administrator"
export NV_AD_PASSWORD="Difference-Engine-1822"
export NV_AD_COMPUTERS=2497
export NV_AD_DISABLED="PC0007 PC1250 PC2499"
accounts=2499  # beside the controller's own

ip link set lo up

# What the kept domain was made by: this script.
stamp="$(sha256sum "$0" | cut -d' ' -f1)"
template="$root/template"

computers_ldif() {
    local base="$1" i name uac
    for i in $(seq -f '%04g' 1 "$accounts"); do
        name="PC$i"
        uac=4096  # a workstation's trust account
        case " $NV_AD_DISABLED " in *" $name "*) uac=4098 ;; esac  # and ACCOUNTDISABLE
        printf 'dn: CN=%s,CN=Computers,%s\nobjectClass: computer\nsAMAccountName: %s$\n' \
            "$name" "$base" "$name"
        printf 'userAccountControl: %s\ndNSHostName: %s.%s\noperatingSystem: Windows 11 Pro\n\n' \
            "$uac" "${name,,}" "$NV_AD_DNS_DOMAIN"
    done
}

provision() {
    rm -rf "$template"
    mkdir -p "$template"
    samba-tool domain provision --targetdir="$template" \
        --realm="${NV_AD_DNS_DOMAIN^^}" --domain="$NV_AD_DOMAIN" --server-role=dc \
        --dns-backend=NONE --host-name="$NV_AD_CONTROLLER" --host-ip=127.0.0.1 \
        --adminpass="$NV_AD_PASSWORD" --option="interfaces=lo" \
        --option="bind interfaces only=yes" >"$root/provision.log" 2>&1
    # Only the directory is asked; a plain bind with a password over LDAP
    # without TLS is what the tests' client offers besides the logon.
    sed -i '/^\[global\]/a\	server services = ldap\n\tldap server require strong auth = no' \
        "$template/etc/smb.conf"
    local base="DC=${NV_AD_DNS_DOMAIN//./,DC=}"
    computers_ldif "$base" >"$root/computers.ldif"
    ldbadd -H "$template/private/sam.ldb" "$root/computers.ldif" >/dev/null
    echo "$stamp" >"$template/made-by"
}

# The builds of one checkout share the kept domain, and may run side by side:
# one provisions while the others wait, and each copies it whole.
exec 9>"$root/template.lock"
flock 9
if [ "$(cat "$template/made-by" 2>/dev/null)" != "$stamp" ]; then
    provision || {
        echo "ad-fixture: provisioning failed; its log:" >&2
        tail -n 40 "$root/provision.log" >&2 || true
        exit 1
    }
fi

# A fresh copy every run: the controller writes its state as it runs. The
# copy is reached at the path the template was provisioned at, which the
# configuration names, through a bind mount only this namespace sees.
run="$(mktemp -d "$root/run.XXXXXX")"
cp -a "$template/." "$run"
flock -u 9
mount --bind "$run" "$template"

samba -i -M single -s "$template/etc/smb.conf" >"$run/samba.log" 2>&1 &
samba_pid=$!
# The command's status is the script's, whatever the clean-up meets.
stop_controller() {
    set +e
    kill "$samba_pid" 2>/dev/null
    wait "$samba_pid" 2>/dev/null
    umount --lazy "$template" 2>/dev/null
    rm -rf "$run"
}
trap stop_controller EXIT

# The controller takes connections before it can check a password: it is
# ready once a bind as the fixture's user succeeds.
ready() {
    ldbsearch -H ldap://127.0.0.1 -U "$NV_AD_USER%$NV_AD_PASSWORD" -s base -b "" dn \
        >/dev/null 2>&1
}
for _ in $(seq 1 150); do
    ready && break
    kill -0 "$samba_pid" 2>/dev/null || break
    sleep 0.2
done
if ! ready; then
    echo "ad-fixture: the private domain controller does not answer; its log:" >&2
    tail -n 40 "$run/samba.log" >&2 || true
    exit 1
fi

set +e
"$@"
status=$?
set -e
exit "$status"
