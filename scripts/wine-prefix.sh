#!/usr/bin/env bash
# A private Wine prefix for the Windows build's tests, with its server kept running:
#   scripts/wine-prefix.sh choose      prints "ARCH LOADER": the Wine that runs programs here
#   scripts/wine-prefix.sh start DIR   makes DIR, boots Wine in it, prints the environment to use
#   scripts/wine-prefix.sh stop DIR    stops the prefix's server
# Where this machine runs 32-bit programs the prefix is a 32-bit one (win32) for the i686 build,
# the program listeners get. Some hypervisors give no 32-bit mode at all (the 32-bit loader fails
# with "Exec format error"); there it is a 64-bit one (win64) under the 64-bit loader, for an
# x86_64 build of the same sources. The Linux build asks `choose` too, when it is configured, so
# that both take the same side; LUMIO_WINE_ARCH=win32 or win64 forces it.
# Crashes end the program instead of opening Wine's debugger dialog, and the program font
# (宋体) maps to an installed CJK font, as a Windows user's would be there.
set -euo pipefail

usage="usage: wine-prefix.sh choose | start DIR | stop DIR"
cmd=${1:?$usage}

choose() {
  local loader32 loader64
  if [[ -e /usr/lib/wine/wine || -e /usr/lib/wine/wine64 ]]; then
    # Debian's layout: /usr/bin/wine is a wrapper that takes the 32-bit loader whenever it is
    # installed, even where it cannot run, and the 64-bit one where it is missing.
    loader32=/usr/lib/wine/wine
    loader64=/usr/lib/wine/wine64
  else
    loader32=$(command -v wine || true)
    loader64=$(command -v wine64 || true)
  fi
  local forced=${LUMIO_WINE_ARCH:-}
  case "$forced" in
    "" | win32 | win64) ;;
    *) echo "LUMIO_WINE_ARCH is \"$forced\": win32 or win64" >&2; return 2 ;;
  esac
  if [[ "$forced" != win64 && -x "$loader32" ]] && "$loader32" --version >/dev/null 2>&1; then
    echo "win32 $loader32"
  elif [[ "$forced" != win32 && -x "$loader64" ]] && "$loader64" --version >/dev/null 2>&1; then
    echo "win64 $loader64"
  else
    echo "no Wine loader${forced:+ for $forced} runs on this machine" >&2
    return 1
  fi
}

if [[ "$cmd" == choose ]]; then
  choose
  exit
fi

export WINEPREFIX=${2:?$usage}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"

case "$cmd" in
  start)
    read -r WINEARCH wine < <(choose) || exit 1
    export WINEARCH
    # Wine starts its own helper programs (services, explorer) through WINELOADER; Debian's
    # wrapper sets it only where it picks the 64-bit loader itself.
    [[ "$WINEARCH" == win64 ]] && export WINELOADER=$wine
    mkdir -p "$WINEPREFIX"
    # A server that outlives each program: a new wine never meets an old server on its way out.
    wineserver -p
    # Plain wineboot: the loader itself sets a new prefix up first, and a further --init would
    # start a second service manager beside the first, under which RpcSs never comes up and
    # the first sound device takes many seconds to open. A 64-bit prefix's 32-bit half fails to
    # set up where 32-bit programs cannot run; nothing of ours needs it.
    "$wine" wineboot >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      >/dev/null 2>&1
    # Wine takes command-line text in the locale's encoding: UTF-8, as this script is written.
    for face in 宋体 SimSun; do
      LC_ALL=C.UTF-8 "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" \
        /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
    done
    # The server writes the registry out only when it ends, and the tests that start a Wine
    # session of their own copy it: end this one once so the prefix on disk is whole.
    # The new server's first program starts Wine's own services again; let that happen here,
    # once, and not in the first tests that start side by side (one of them then never ended).
    wineserver -k
    wineserver -w
    wineserver -p
    "$wine" wineboot >/dev/null 2>&1
    cat <<ENV
export WINEPREFIX=$WINEPREFIX
export WINEARCH=$WINEARCH
export WINEDEBUG=$WINEDEBUG
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES"
export LUMIO_WINE=$wine
ENV
    [[ "$WINEARCH" == win64 ]] && echo "export WINELOADER=$wine"
    ;;
  stop)
    [[ -d "$WINEPREFIX" ]] && wineserver -k 2>/dev/null || true
    ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
exit 0
