#!/usr/bin/env bash
# The listener's zip: it holds one folder with the program, the station-list tool, the catalogue
# and its sources, and nothing else; the programs need no DLL beside them. Unpacked anywhere, the
# program starts, finds its catalogue and plays from it, and the unpacked tool reads its lists.
# The zip's programs are 32-bit; where Wine runs only 64-bit programs, the 64-bit build's stand
# in for them in the unpacked folder.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
[[ -n "$lumio_zip" ]] || skip "no zip given"
[[ -f "$lumio_zip" ]] || fail "no zip at $lumio_zip"

note "the zip holds the program folder and nothing else"
entries=$(python3 -c '
import sys, zipfile
print(" ".join(sorted(n for n in zipfile.ZipFile(sys.argv[1]).namelist() if not n.endswith("/"))))' \
  "$lumio_zip")
[[ "$entries" == "Lumio/catalogue-sources.md Lumio/config/chalt.txt Lumio/config/chlst.ini Lumio/lumio-stations.exe Lumio/lumio.exe" ]] ||
  fail "the zip holds: $entries"
unpacked=$e2e_dir/unpacked
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$lumio_zip" "$unpacked"
cmp -s "$unpacked/Lumio/config/chlst.ini" "$(dirname "$lumio_exe")/config/chlst.ini" ||
  fail "the zip's catalogue is not the one the build made"
if command -v i686-w64-mingw32-objdump >/dev/null; then
  for exe in lumio.exe lumio-stations.exe; do
    i686-w64-mingw32-objdump -f "$unpacked/Lumio/$exe" | grep -q 'file format pei-i386' ||
      fail "$exe is not a 32-bit program: $(i686-w64-mingw32-objdump -f "$unpacked/Lumio/$exe")"
    runtime=$(i686-w64-mingw32-objdump -p "$unpacked/Lumio/$exe" | sed -n 's/.*DLL Name: //p' |
      grep -iE 'libstdc|libgcc|libwinpthread|mingw' || true)
    [[ -z "$runtime" ]] || fail "$exe needs DLLs that Windows does not have: $runtime"
  done
fi
if [[ "${LUMIO_WINE_ARCH:-win32}" == win64 ]]; then
  # This machine runs no 32-bit program: the tests' 64-bit build of the same two programs stands
  # in for the zip's, in the unpacked folder as it is.
  note "no 32-bit program runs here: the 64-bit build's programs stand in for the zip's"
  for exe in lumio.exe lumio-stations.exe; do
    cp "$(dirname "$lumio_exe")/$exe" "$unpacked/Lumio/$exe"
  done
fi

note "unpacked, the program starts, finds its catalogue and plays a station from it"
start_program "$unpacked/Lumio"
expect_geometry "500 50 400 34" 10 "first start of the unpacked program"
[[ -f "$unpacked/Lumio/config/base.ini" ]] || fail "no config\\base.ini beside the unpacked program"
click_client 390 24  # the mode button: the normal window, with the lists
expect_geometry "500 50 300 580" 5 "after the mode button"
sleep 2  # the catalogue loads 1.5 s after the start
click_client 34 218
double_click_client 150 220
wait_for 5 test -s "$unpacked/Lumio/config/playlst.ini" || fail "no play history after the double click"
screenshot unpacked >/dev/null
activate
press_key Escape
wait_program_exit 15 || fail "the program still runs 15 s after Escape"

note "the unpacked station-list tool reads the play history"
played=$(cd "$unpacked/Lumio" && "$lumio_wine" lumio-stations.exe export 'config\playlst.ini' | tr -d '\r')
[[ "$(wc -l <<<"$played")" == 2 && "$played" == extraText1,nid,* ]] ||
  fail "lumio-stations.exe export gave: $played"
nid=$(sed -n 2p <<<"$played" | cut -d, -f2)
shipped=$("$stations_exe" export "$unpacked/Lumio/config/chlst.ini" | cut -d, -f2)
grep -qx "$nid" <<<"$shipped" ||
  fail "the station played (nid $nid) is not in the shipped catalogue"
note "passed"
