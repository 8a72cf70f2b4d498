#!/usr/bin/env bash
# Builds the Debian packages from this checkout (Debian 12 or 13) and checks
# them with lintian:
#   1. installs what debian/control's Build-Depends name, and lintian, when
#      something is missing (apt-get build-dep; sudo when not root),
#   2. copies the sources (no build directories) to OUT_DIR/vesk-VERSION and
#      runs dpkg-buildpackage -us -uc -b there, so that the checkout stays as
#      it was and the packages land in OUT_DIR,
#   3. runs lintian on them: an error fails, warnings are shown.
# A compiler launcher in CMAKE_CXX_COMPILER_LAUNCHER (ccache) is used.
#
#   package.sh [OUT_DIR]     (default: ../vesk-packages beside the checkout)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$repo/../vesk-packages}" && cd "${1:-$repo/../vesk-packages}" && pwd)
case "$out/" in "$repo"/*) echo "package: OUT_DIR must lie outside the checkout" >&2; exit 2 ;; esac
version=$(sed -n '1s/.*(\(.*\)).*/\1/p' "$repo/debian/changelog")
say() { echo "package: $*"; }

started=$SECONDS
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if ! command -v lintian >/dev/null || ! command -v dpkg-checkbuilddeps >/dev/null ||
    ! (cd "$repo" && dpkg-checkbuilddeps) 2>/dev/null; then
  say "installing the build dependencies"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends dpkg-dev lintian
  (cd "$repo" && $sudo apt-get build-dep -y -q --no-install-recommends ./)
fi
say "build dependencies: $((SECONDS - started)) s"

src=$out/vesk-$version
rm -rf "$src" "$out"/vesk_"$version"_* "$out"/vesk-dbgsym_"$version"_*
mkdir -p "$src"
tar -C "$repo" --exclude=./.git --exclude='./build*' --exclude='./obj-*' --exclude=node_modules -cf - . |
  tar -C "$src" -xf -
(cd "$src" && dpkg-buildpackage -us -uc -b -J"$(nproc)") >"$out/build.log" 2>&1 ||
  { tail -40 "$out/build.log" >&2; say "FAILED: dpkg-buildpackage (log in $out/build.log)" >&2; exit 1; }
rm -rf "$src"
say "built in $((SECONDS - started)) s:"
ls -l "$out"/*.deb

lintian --fail-on error "$out"/vesk_"$version"_*.changes
say "lintian: no errors; done in $((SECONDS - started)) s"
