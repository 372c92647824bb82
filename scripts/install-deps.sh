#!/usr/bin/env bash
# Puts every Debian package Lumio needs to build, run and test on this machine.
# Idempotent: when everything is present it only asks dpkg and returns.
#   scripts/install-deps.sh          build, run and test packages
#   scripts/install-deps.sh --bench  also the peers the benchmarks compare with
set -euo pipefail

build=(
  cmake ninja-build g++ pkg-config
  clang libclang-rt-14-dev           # libFuzzer and the sanitizer runtimes
  clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libfontconfig-dev
  qt6-svg-dev                        # the skin generator draws the scalable desktop icon
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  libx11-dev                         # the start-up benchmark watches X events
  libssl-dev                         # the tests' HTTPS servers; encrypted HLS (libcrypto)
  libsoup-3.0-dev                    # HLS read over the HTTP library GStreamer's source runs on
)
runtime=(
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-libav fonts-wqy-microhei
  glib-networking ca-certificates    # https stations: TLS and the system's trust store
)
tests=(
  gstreamer1.0-tools
  xvfb xauth x11-utils xdotool imagemagick
  x11-xserver-utils                  # xrandr: two and three screens on one display
  pulseaudio pulseaudio-utils sox
  icecast2 trayer xcompmgr curl procps
  ffmpeg                             # streams of every kind a station sends, made as stations make them
  dbus-daemon                        # a private session bus for the tray and the media controls
  libglib2.0-bin                     # gdbus: the tests drive the media controls with it
  desktop-file-utils appstream       # the install test validates the menu entry and metainfo
  openssl                            # certificates for the tests' HTTPS servers
)
# The Windows program, cross-built and tested under Wine: 32-bit (the i386 architecture) where
# the machine runs 32-bit programs; where it does not, its tests are a 64-bit build run by 64-bit
# Wine (cmake/windows_build.cmake). Wine's own AAC decoder runs on the GStreamer plugins of its
# side: the i386 ones here, the amd64 ones of the runtime list above.
windows=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine32:i386 wine64
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386 gstreamer1.0-libav:i386
  libxinerama1:i386                  # 32-bit Wine reads a display's several screens through it
)
bench=(mpv gstreamer1.0-plugins-base-apps time audacious qmmp)

wanted=("${build[@]}" "${runtime[@]}" "${tests[@]}" "${windows[@]}")
[[ "${1:-}" == "--bench" ]] && wanted+=("${bench[@]}")

# A name without an architecture means the machine's own (or "all"); one dpkg-query for all.
native=$(dpkg --print-architecture)
present=$(dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Status}\n' \
  "${wanted[@]%%:*}" 2>/dev/null | sed -n 's/ installed$//p' || true)
missing=()
for p in "${wanted[@]}"; do
  [[ "$p" == *:* ]] || p="$p:$native"
  grep -qxF -e "$p" -e "${p%%:*}:all" <<<"$present" || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
# icecast2 asks debconf questions; the defaults are fine, we configure our own instance.
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
