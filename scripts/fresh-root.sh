#!/usr/bin/env bash
# Runs the README's set-up on a freshly installed Debian, as a new user
# would: a minimal Debian 13 (default) or 12 root made with debootstrap,
# the checkout's HEAD copied in, and inside it (chroot)
#   1. the show-only install and build (run.sh --build-only),
#   2. the full install (install-deps.sh --test) and the test build,
#   3. one still from vesk-capture, which must not be blank,
#   4. the unit tests, which need no display,
#   5. the Debian packages (package.sh), built with the same compiler cache,
# and then, in a second clean root, the installed package's checks
# (tests/fresh-root/installed-package.sh).
# Needs root (debootstrap, chroot, mounts). Downloaded packages are kept in
# $VESK_FRESH_ROOT_CACHE/<release> (default /var/cache/vesk-fresh-root), so
# that later runs download nothing; debootstrap's root is kept there as a
# tarball for a week, from which each root is unpacked anew every run. The
# roots are removed at the end (VESK_FRESH_ROOT_KEEP=1 keeps them).
#
#   fresh-root.sh [13|12]
set -euo pipefail

release=${1:-13}
case "$release" in
  13) suite=trixie ;;
  12) suite=bookworm ;;
  *) echo "usage: $0 [13|12]" >&2; exit 2 ;;
esac
repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${VESK_FRESH_ROOT_CACHE:-/var/cache/vesk-fresh-root}/$release
mirror=${VESK_DEBIAN_MIRROR:-http://deb.debian.org/debian}

say() { echo "fresh-root $release: $*"; }
fail() { say "FAILED: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap, chroot, mounts)"
if ! command -v debootstrap >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap
fi

mkdir -p "$cache/debootstrap" "$cache/apt" "$cache/ccache"
work=$(mktemp -d /var/tmp/vesk-fresh-root-"$release".XXXXXX)
root=$work/root
mounts=()
cleanup() {
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" || true
  done
  # Never delete through a mount that is still there: it could be the
  # host's /dev.
  if grep -q " $work/" /proc/self/mounts; then
    say "left $work: something is still mounted there" >&2
  elif [ "${VESK_FRESH_ROOT_KEEP:-0}" = 1 ]; then
    say "kept $work"
  else
    rm -rf --one-file-system "$work"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
mount_in() {  # mount_in TARGET MOUNT-ARGUMENTS...
  local target=$root$1
  shift
  mount "$@" "$target"
  mounts+=("$target")
}
step() {  # step NAME COMMAND...: runs COMMAND in the root, timed; its
  # output goes to a log, shown when it fails
  local name=$1 started=$SECONDS log=$work/${1// /-}.log
  shift
  say "$name ..."
  if ! chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
      /bin/bash -euo pipefail -c "cd /root/vesk && $*" >"$log" 2>&1; then
    tail -60 "$log" >&2
    fail "$name"
  fi
  say "$name: $((SECONDS - started)) s"
}

new_root() {  # new_root DIR: a pristine root at DIR, mounted, made $root
  root=$1
  local pristine=$cache/pristine-$suite.tar started=$SECONDS
  if [ -z "$(find "$pristine" -mtime -7 2>/dev/null)" ]; then
    say "== debootstrap $suite"
    debootstrap --variant=minbase --cache-dir="$cache/debootstrap" "$suite" "$root" "$mirror" \
      >"$work/debootstrap.log" 2>&1 || { tail -20 "$work/debootstrap.log" >&2; fail "debootstrap"; }
    tar -C "$root" -cf "$pristine.new" . && mv "$pristine.new" "$pristine"
  else
    mkdir -p "$root"
    tar -C "$root" -xf "$pristine"
  fi
  say "new root $root: $((SECONDS - started)) s"
  mount_in /proc -t proc proc
  mount_in /dev --bind /dev
  mount_in /dev/pts --bind /dev/pts
  mount_in /var/cache/apt/archives --bind "$cache/apt"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  # A root that lives for one run needs no fsync after every file dpkg
  # writes, nor the package descriptions' translations.
  echo force-unsafe-io >"$root/etc/dpkg/dpkg.cfg.d/vesk-unsafe-io"
  echo 'Acquire::Languages "none";' >"$root/etc/apt/apt.conf.d/99vesk-no-translations"
  mkdir -p "$root/root/vesk"
}

started=$SECONDS
new_root "$work/root"
mkdir -p "$root/var/cache/ccache"
mount_in /var/cache/ccache --bind "$cache/ccache"
git -C "$repo" archive HEAD | tar -x -C "$root/root/vesk"

step "show-only install and build" ./scripts/run.sh --build-only
step "full install" ./scripts/install-deps.sh --test
# test.sh's preset, in a folder of its own. Its compilations are cached
# across runs (the show's own build above, before ccache is installed, is not).
step "test build" "export CCACHE_DIR=/var/cache/ccache CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache \
  && cmake --preset test -B build-test && cmake --build build-test -j\$(nproc)"
step "capture a still" "cd build-test && ./vesk-capture --at 31.2 --stills /root/stills"
# A blank 512 x 512 frame compresses to about 1 KB; the frame at 31.2 s,
# with its sprites on the tank, to over 300 KB.
still=$root/root/stills/at-031200.png
[ -f "$still" ] || fail "no still at $still"
size=$(stat -c %s "$still")
[ "$size" -gt 20000 ] || fail "the still is blank ($size bytes)"
say "still: $size bytes"
# The suites that need no display and no real time.
unit_tests="-L unit"
step "unit tests" "ctest --test-dir build-test --output-on-failure -j\$(nproc) $unit_tests"
grep 'tests passed' "$work/unit-tests.log"
# The packages from the same checkout, their compilations cached as above.
step "packages" "export CCACHE_DIR=/var/cache/ccache CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache \
  && ./scripts/package.sh /root/packages"
grep -E '^[WE]: ' "$work/packages.log" || true
built=$root
new_root "$work/clean"
cp "$built"/root/packages/vesk_*.deb "$root/root/vesk/"
cp "$still" "$root/root/vesk/reference.png"
cp "$repo/tests/fresh-root/installed-package.sh" "$root/root/vesk/"
step "package lists" apt-get update -q
step "installed package" ./installed-package.sh
say "pulled in: $(grep -c . "$root/root/vesk/pulled") packages with the recommended ffmpeg; without it:"
cat "$work/installed-package.log"
say "done in $((SECONDS - started)) s"
