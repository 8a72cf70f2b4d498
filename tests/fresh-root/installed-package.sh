#!/usr/bin/env bash
# In a clean Debian root that never had the build dependencies, run from a
# directory holding vesk_*.deb and reference.png (the build tree's still at
# 31.2 s): the package pulls in no build tool or header, its capture tool
# reads the installed data from anywhere, its man pages are found, and a
# purge leaves none of its files.
set -euo pipefail
here=$PWD
fail() { echo "installed package: FAILED: $*" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive
apt-get update -q >/dev/null
# What `apt-get install` would add, with and without the recommended ffmpeg.
for recommends in true false; do
  apt-get install -s -o APT::Install-Recommends=$recommends ./vesk_*.deb | awk '/^Inst /{print $2}' | sort >"pulled-$recommends"
  echo "with recommends $recommends: $(wc -l <"pulled-$recommends") packages"
  ! grep -E '^(gcc|g\+\+|cpp|clang|cmake|make|binutils|build-essential|dpkg-dev)(-|$)|-dev$' "pulled-$recommends" ||
    fail "a build tool or header comes with the package"
done
echo "pulled in: $(grep -v '^vesk$' pulled-false | tr '\n' ' ')"
apt-get install -y -q --no-install-recommends ./vesk_*.deb man-db >/dev/null

cd "$(mktemp -d)"
[ ! -e data ] || fail "data/ in the scratch directory"
vesk-capture --at 31.2 --stills OUT 2>/dev/null
cmp OUT/at-031200.png "$here/reference.png" || fail "the installed tool's still differs from the build tree's"
! vesk-capture --video v.mp4 2>err || fail "a video without ffmpeg"
grep -qx 'vesk-capture: --video needs ffmpeg, which is not installed (it is in the ffmpeg package)' err || fail "$(cat err)"
man -w vesk vesk-capture

mapfile -t files < <(dpkg -L vesk | while read -r f; do [ -d "$f" ] && [ ! -L "$f" ] || echo "$f"; done)
apt-get purge -y -q vesk >/dev/null
for f in "${files[@]}" /usr/share/games/vesk /usr/lib/games/vesk; do
  [ ! -e "$f" ] || fail "$f is left after the purge"
done
echo "installed package: ${#files[@]} files installed and purged"
