#!/bin/sh
# Installs the Debian packages given as arguments that are not installed yet; does nothing (and
# never calls apt) when all of them are. The check and the installation run under one lock, so
# that makes running side by side (make -j, or two makes) never install at the same time; apt
# also waits for the lock of any other package manager instead of failing.
#
#   tools/deps.sh PACKAGE...        (the lock file: $VELMORA_DEPS_LOCK, default /tmp/velmora-deps.lock)
set -eu

missing() {
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || printf ' %s' "$p"
    done
}

[ -n "$(missing "$@")" ] || exit 0

lock=${VELMORA_DEPS_LOCK:-/tmp/velmora-deps.lock}
exec 9>"$lock"
flock 9
# Another make may have installed them while this one waited.
packages=$(missing "$@")
[ -n "$packages" ] || exit 0
echo "Installing missing packages:$packages"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq $packages
