# shellcheck shell=bash
# Sourced by the end-to-end tests that run the Windows program: a Wine session of the test's own,
# on the test's own display. Wine reads the display (its screens, its notification area) once,
# when the desktop of its prefix's server starts, and the test services' prefix has long started
# on theirs. Needs, when sourced, WINEPREFIX (the services' prefix) and e2e_dir.

wine_services_prefix=$WINEPREFIX
wine_session_prefixes=()
wine_session_count=0

# own_wine: a Wine session of the test's own on the current display, which shows programs the
# display's monitors; ends the one made before. Its prefix shares the services' drive C: (only
# the registry is its own), so it costs no boot of a new prefix, only the start of a desktop.
own_wine() {
  local prefix=$e2e_dir/wine-$((wine_session_count += 1))
  own_wine_end
  mkdir -p "$prefix/dosdevices"
  cp "$wine_services_prefix"/{system.reg,user.reg,userdef.reg,.update-timestamp} "$prefix/"
  ln -s "$wine_services_prefix/drive_c" "$prefix/drive_c"
  ln -s ../drive_c "$prefix/dosdevices/c:"
  ln -s / "$prefix/dosdevices/z:"
  # Wine's RandR view is the display's outputs, and Xvfb has one; its Xinerama view is the
  # monitors xrandr --setmonitor made, which the server reports as Xinerama screens.
  printf '\n[Software\\\\Wine\\\\X11 Driver]\n"UseXRandR"="N"\n' >>"$prefix/user.reg"
  export WINEPREFIX=$prefix
  wine_session_prefixes+=("$prefix")
  wineserver -p
}

# own_wine_end: ends the Wine sessions of the test's own, and their programs.
own_wine_end() {
  local prefix
  for prefix in "${wine_session_prefixes[@]}"; do
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  done
  wine_session_prefixes=()
}
