#!/bin/sh
# Makes sure the Debian packages named as arguments are installed: says which
# are missing and installs them with apt-get, through sudo when not root.
# Does nothing, quietly, when every package is already there.
set -eu
mancanti=
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
    mancanti="$mancanti $p"
done
[ -z "$mancanti" ] && exit 0
echo "velt: installo i pacchetti Debian che mancano:$mancanti" >&2
if [ "$(id -u)" -eq 0 ]; then su=; else su=sudo; fi
export DEBIAN_FRONTEND=noninteractive
# A fresh machine has no package lists yet: fetch them once, then retry.
# shellcheck disable=SC2086
$su apt-get install -y -q --no-install-recommends $mancanti >/dev/null 2>&1 || {
  $su apt-get update -q >/dev/null
  $su apt-get install -y -q --no-install-recommends $mancanti >/dev/null
}
