#!/usr/bin/env bash
# `cmake --install` into a fresh prefix: the program, lumio-stations, the catalogue and the
# desktop's files (a valid menu entry, the icon in every size, a valid AppStream description).
# Then the installed copy is started as a new user starts it, with nothing beside it to write
# into: its settings appear byte for byte in ~/.config/lumio, and a station of the shipped
# catalogue plays and lands in the lists there.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
require_programs cmake desktop-file-validate appstreamcli identify python3

build_dir=$(cd "$(dirname "$lumio_exe")/.." && pwd)
prefix=$e2e_dir/prefix
cmake --install "$build_dir" --prefix "$prefix" >"$e2e_dir/install.log" 2>&1 ||
  fail "cmake --install failed: $(tail -n 20 "$e2e_dir/install.log")"

for file in bin/lumio bin/lumio-stations share/lumio/chlst.ini share/applications/lumio.desktop \
  share/metainfo/net.tarvel.radio.lumio.metainfo.xml share/icons/hicolor/scalable/apps/lumio.svg; do
  [[ -s "$prefix/$file" ]] || fail "the install holds no $file"
done
cmp -s "$prefix/share/lumio/chlst.ini" "$build_dir/bin/config/chlst.ini" ||
  fail "the installed catalogue is not the built one"
for size in 16 22 24 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/lumio.png
  [[ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" == "${size}x${size}" ]] ||
    fail "no ${size}x${size} icon at $icon"
done

entry=$prefix/share/applications/lumio.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate refused lumio.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/net.tarvel.radio.lumio.metainfo.xml" ||
  fail "appstreamcli refused the metainfo"
# The licence the metainfo states is the one the LICENSE file at the source root grants.
licence_file=$(dirname "$0")/../../LICENSE
[[ "$(head -n 1 "$licence_file")" == "MIT License" ]] || fail "LICENSE is not the MIT licence"
grep -qF '<project_license>MIT</project_license>' \
  "$prefix/share/metainfo/net.tarvel.radio.lumio.metainfo.xml" ||
  fail "the metainfo states another licence than LICENSE"
for line in 'Name[zh_CN]=Lumio网络收音机' 'Exec=lumio' 'Icon=lumio' \
  'Categories=AudioVideo;Audio;Player;'; do
  grep -qxF "$line" "$entry" || fail "lumio.desktop lacks \"$line\""
done
for key in Name Comment 'Comment\[zh_CN\]' Keywords; do
  grep -q "^$key=." "$entry" || fail "lumio.desktop lacks $key"
done

note "the installed copy, started by a user who never ran it"
export HOME=$e2e_dir/home
unset XDG_CONFIG_HOME
mkdir -p "$HOME"
program_dir=$prefix/bin
config_dir=$HOME/.config/lumio
start_program
expect_geometry "500 50 400 34" 5 "first start: the mini bar at the default place"
printf '[sys]\r\nServerIp=127.0.0.1\r\nServerPort=80\r\nServerDomain=radio.tarvel.net\r\nMode=2\r\nTopMost=1\r\nLastX=500\r\nLastY=50\r\nMiniX=500\r\nMiniY=20\r\nVolumn=50\r\nRecentPlay=100\r\n' \
  >"$e2e_dir/default.ini"
cmp "$config_dir/base.ini" "$e2e_dir/default.ini" || fail "$config_dir/base.ini is not the default file"
[[ ! -e "$program_dir/config" ]] || fail "the installed copy made a config folder beside itself"
press_key Escape
wait_program_exit 3 || fail "the program still runs 3 s after Escape"

note "a station of the shipped catalogue plays; the lists go to ~/.config/lumio"
write_base_ini 1 200 150
start_program
expect_geometry "200 150 300 580" 5 "normal window from base.ini"
play_first_news_station() {
  click_client 34 $((210 + 3 * kCategoryRowHeight + 10))
  double_click_client 150 $((210 + kStationRowHeight / 2))
}
after_catalogue play_first_news_station test -s "$config_dir/playlst.ini" ||
  fail "no play history in $config_dir"
played=$(station_names playlst.ini)
"$stations_exe" export "$prefix/share/lumio/chlst.ini" >"$e2e_dir/shipped.csv"
grep -qF ",$played," "$e2e_dir/shipped.csv" ||
  fail "the station played, \"$played\", is not in the shipped catalogue"
[[ -s "$config_dir/retlst.ini" && ! -e "$program_dir/config" ]] || fail "the lists went elsewhere"
note "played \"$played\" from the shipped catalogue"
press_key Escape
wait_program_exit 3 || fail "the program still runs 3 s after Escape"
note "passed"
