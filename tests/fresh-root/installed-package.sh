#!/usr/bin/env bash
# In a clean Debian root that never had the build dependencies, its package
# lists fresh, run from /root/vesk holding vesk_*.deb and reference.png (the
# build tree's still at 31.2 s): the package pulls in no build tool or
# header, even with its recommended ffmpeg; its capture tool reads the
# installed data from anywhere; its man pages are found; a purge leaves
# none of its files.
set -euo pipefail
fail() { echo "installed package: FAILED: $*" >&2; exit 1; }
apt-get install -s ./vesk_*.deb | awk '/^Inst /{print $2}' >pulled
grep -E '^(gcc|g\+\+|cpp|clang|cmake|make|binutils|build-essential|dpkg-dev)(-|$)|-dev$' pulled && fail "a build tool or header"
apt-get install -y -q --no-install-recommends ./vesk_*.deb man-db | grep -A30 'NEW packages' | grep '^ '
cd "$(mktemp -d)"
vesk-capture --at 31.2 --stills OUT 2>/dev/null
cmp OUT/at-031200.png /root/vesk/reference.png
man -w vesk vesk-capture
mapfile -t files < <(dpkg -L vesk | while read -r f; do [ -d "$f" ] && [ ! -L "$f" ] || echo "$f"; done)
apt-get purge -y -q vesk >/dev/null
for f in "${files[@]}" /usr/share/games/vesk /usr/lib/games/vesk; do [ ! -e "$f" ] || fail "$f left after the purge"; done
