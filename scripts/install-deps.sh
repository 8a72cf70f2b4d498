#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the show need.
# Idempotent: packages already present are left as they are.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake pkg-config git
  # window, GL and off-screen GL
  freeglut3-dev libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libglx-mesa0 libegl-mesa0
  # sound device and decoding
  libsdl2-dev libsndfile1-dev
  # images, drawing and lettering for the asset generator
  libpng-dev libcairo2-dev fonts-dejavu-core
  # smart pointers and bound calls
  libboost-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # headless runs of the real window, answering its boxes, encoding video
  xvfb xauth xdotool ffmpeg time
  # fonts for the X server, without which SDL cannot draw its message boxes
  xfonts-base
  # sanitizers, fuzzing and memory checks
  clang libclang-rt-14-dev valgrind
  # reliability checks: running as another user (setpriv), their own X client
  util-linux libx11-dev
)

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
