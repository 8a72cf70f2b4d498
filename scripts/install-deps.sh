#!/usr/bin/env bash
# Installs the Debian packages the show needs (Debian 12 or 13).
#
#   install-deps.sh           what building and running the show needs
#   install-deps.sh --test    also what the tests, benchmarks, sanitizers,
#                             fuzzing and the capture tool need
#   --print                   prints the package names instead of installing
#
# Idempotent: packages already present are left as they are. Every name
# exists on both releases: version-less names only (clang's runtime is
# libclang-rt-dev, which follows clang, 14 on Debian 12 and 19 on 13). A
# name that one release lacks would be chosen by $release below.
set -euo pipefail

usage() { echo "usage: $0 [--test] [--print]" >&2; exit 2; }
with_tests=0 print=0
for arg in "$@"; do
  case "$arg" in
    --test) with_tests=1 ;;
    --print) print=1 ;;
    *) usage ;;
  esac
done

release=$(. /etc/os-release && echo "${VERSION_ID:-}")

show_packages=(
  # toolchain
  build-essential cmake pkg-config
  # window and GL, with Mesa's drivers so that it draws without a vendor's
  libglut-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri libglx-mesa0
  # sound device, the PulseAudio server's name, and decoding
  libsdl2-dev libpulse-dev libsndfile1-dev
  # images, drawing and lettering for the asset generator
  libpng-dev libcairo2-dev fonts-dejavu-core
  # smart pointers and bound calls
  libboost-dev
)

test_packages=(
  git
  # off-screen GL for the capture tool and its tests
  libegl-dev libegl-mesa0
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # headless runs of the real window, answering its boxes, encoding video
  xvfb xauth xdotool ffmpeg time
  # fonts for the X server, without which SDL cannot draw its message boxes
  xfonts-base
  # sanitizers, fuzzing (clang's runtime holds libFuzzer) and memory checks
  clang libclang-rt-dev valgrind
  # reliability checks: running as another user (setpriv), their own X client
  util-linux libx11-dev
  # the clock of the short real-time stages run fast; finding SDL's boxes
  faketime x11-utils
  # a compiler cache for repeated builds
  ccache
  # the Debian package (scripts/package.sh) and its checks
  debhelper dpkg-dev lintian help2man desktop-file-utils appstream
  # a real sound server for the sound tests
  pulseaudio pulseaudio-utils
  # a PipeWire graph as current desktops run it, headless on a D-Bus
  # session bus of its own
  pipewire pipewire-pulse wireplumber dbus-x11
  # wakes each CPU every millisecond beside the show through the server
  rt-tests
  # the show compiled to WebAssembly and played in headless Chromium and in
  # Firefox under Xvfb, both driven over WebDriver BiDi
  emscripten node-acorn chromium chromium-driver python3-websocket firefox-esr
)

packages=("${show_packages[@]}")
[ "$with_tests" -eq 1 ] && packages+=("${test_packages[@]}")

if [ "$print" -eq 1 ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

case "$release" in
  12|13) ;;
  *) echo "install-deps: Debian 12 or 13 expected, found '${release}'; trying anyway" >&2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
