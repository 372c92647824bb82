#!/usr/bin/env bash
# A private 32-bit Wine prefix for the Windows build's tests, with its server kept running:
#   scripts/wine-prefix.sh start DIR   makes DIR, boots Wine in it, prints the environment to use
#   scripts/wine-prefix.sh stop DIR    stops the prefix's server
# Crashes end the program instead of opening Wine's debugger dialog, and the program font
# (宋体) maps to an installed CJK font, as a Windows user's would be there.
set -euo pipefail

cmd=${1:?usage: wine-prefix.sh start|stop DIR}
export WINEPREFIX=${2:?usage: wine-prefix.sh start|stop DIR}
export WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"

case "$cmd" in
  start)
    mkdir -p "$WINEPREFIX"
    # A server that outlives each program: a new wine never meets an old server on its way out.
    wineserver -p
    # Plain wineboot: the loader itself sets a new prefix up first, and a further --init would
    # start a second service manager beside the first, under which RpcSs never comes up and
    # the first sound device takes many seconds to open.
    wineboot >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Wine takes command-line text in the locale's encoding: UTF-8, as this script is written.
    for face in 宋体 SimSun; do
      LC_ALL=C.UTF-8 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
        /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
    done
    cat <<ENV
export WINEPREFIX=$WINEPREFIX
export WINEARCH=$WINEARCH
export WINEDEBUG=$WINEDEBUG
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES"
ENV
    ;;
  stop)
    [[ -d "$WINEPREFIX" ]] && wineserver -k 2>/dev/null || true
    ;;
  *) echo "usage: wine-prefix.sh start|stop DIR" >&2; exit 2 ;;
esac
