#!/usr/bin/env bash
# The Find dialog selects every station of the list whose name holds the text (case-sensitive)
# and stays open; the About dialog's link and the help button open their pages in the browser,
# and Escape or Enter ends the About dialog; a click on the window's background opens the tray
# menu.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

readonly kSelected="25 58 106" kEven="241 249 253" kOdd="255 255 255"
write_catalogue <<CSV
nid,contentCategory,popularity,url,name
301,4,5,http://127.0.0.1:1/a,北京新闻广播
302,4,4,http://127.0.0.1:1/b,上海音乐FM
303,4,3,http://127.0.0.1:1/c,天津新闻FM
304,4,2,http://127.0.0.1:1/d,广东体育
305,4,1,http://127.0.0.1:1/e,新闻综合台
306,4,1,http://127.0.0.1:1/f,小写fm台
307,5,1,http://127.0.0.1:1/g,音乐类新闻不在列表
CSV
write_base_ini 1 200 100
start_program
expect_geometry "200 100 300 580" 5 "normal window from base.ini"
sleep 2

# selected_rows: the rows 0..6 of the station list drawn in the selection colour, e.g. "0 2 4".
selected_rows() {
  local shot row rows=() colour
  shot=$(screenshot "$1")
  for row in 0 1 2 3 4 5 6; do
    colour=$(pixel "$shot" $((200 + 62)) $((100 + 210 + row * kStationRowHeight + 12)))
    case "$colour" in
      "$kSelected") rows+=("$row") ;;
      "$kEven" | "$kOdd") ;;
      *) fail "row $row of the station list has the colour $colour, neither a row's nor the selection's" ;;
    esac
  done
  echo "${rows[*]}"
}

find_window() { xdotool search --all --onlyvisible --pid "$lumio_pid" --name '查找电台' | head -n 1; }
find_window_closed() { [[ -z "$(find_window)" ]]; }

# search TEXT: types TEXT into the Find dialog's field, replacing what it held, and confirms.
search() {
  focus_window "$(find_window)"
  xdotool key --delay 40 ctrl+a BackSpace
  xdotool type --delay 80 "$1"
  sleep 0.2
  xdotool key Return
  sleep 0.6
}

note "新闻 lists six stations; a click selects the fourth"
click_client 34 $((210 + 3 * kCategoryRowHeight + 10))
click_client 150 $((210 + 3 * kStationRowHeight + 12))
[[ "$(selected_rows clicked)" == "3" ]] || fail "after clicking row 3 the selected rows are: $(selected_rows clicked)"

note "查找 opens the Find dialog"
click_control 125 530 50 20
wait_for 3 find_window || fail "no Find dialog (查找电台) after the 查找 button"
screenshot find-dialog >/dev/null

note "search 新闻: rows 0, 2, 4 join the selected row 3; the dialog stays open"
search 新闻
screenshot find-dialog-after-search >/dev/null
[[ -n "$(find_window)" ]] || fail "the Find dialog closed after a search"
note "search FM: adds row 1 (row 2 stays); the lower-case fm of row 5 does not match"
search FM
note "a text found nowhere changes nothing"
search 没有这个台

note "关闭 (Escape) closes the dialog"
focus_window "$(find_window)"
xdotool key Escape
wait_for 3 find_window_closed || fail "the Find dialog is still open after Escape"
selected=$(selected_rows selection)
[[ "$selected" == "0 1 2 3 4" ]] ||
  fail "after the searches the selected rows are [$selected], expected [0 1 2 3 4]"

note "关于 opens the About dialog; its 'Tarvel主页' link opens the home page"
click_control 185 530 50 20
about_window() { xdotool search --all --onlyvisible --pid "$lumio_pid" --name '关于Lumio' | head -n 1; }
wait_for 3 about_window || fail "no About dialog after the 关于 button"
sleep 0.3
screenshot about-dialog >/dev/null
read -r ax ay _ _ < <(geometry "$(about_window)")
# The link's rectangle is (102, 25, 41, 8) in dialog units.
pointer_to $((ax + 153 + 30)) $((ay + 40 + 6))
sleep 0.1
xdotool click 1
wait_for 3 test -s "$opened_pages" || fail "the home-page link opened nothing"
if ! grep -q '/?softid=1&ver=1.2' "$opened_pages" || grep -q help.php "$opened_pages"; then
  fail "the home-page link opened: $(cat "$opened_pages")"
fi
[[ -n "$(about_window)" ]] || fail "the About dialog closed when its link was clicked"
about_closed() { [[ -z "$(about_window)" ]]; }
focus_window "$(about_window)"
xdotool key Escape
wait_for 3 about_closed || fail "the About dialog is still open after Escape"

note "Enter ends the About dialog as Escape does"
click_control 185 530 50 20
wait_for 3 about_window || fail "no About dialog after the 关于 button"
focus_window "$(about_window)"
xdotool key Return
wait_for 3 about_closed || fail "the About dialog is still open after Enter"
! program_ended || fail "Enter in the About dialog ended the program"

note "the help button opens the help page"
: >"$opened_pages"
click_control 265 530 20 20
wait_for 3 test -s "$opened_pages" || fail "the help button opened nothing"
grep -q '/ent/help.php?softid=1&ver=1.2&softname=velotune' "$opened_pages" ||
  fail "the help button opened: $(cat "$opened_pages")"

note "a click on the background opens the tray menu"
! popup_is_open || fail "a window of the program is open before the click: $(open_popups)"
click_client 285 120
popup_is_open || fail "a click on the window's background opened no menu"
screenshot background-menu >/dev/null
menu_key Escape
popup_is_open && fail "Escape left the menu open"
! program_ended || fail "the program ended with the menu"
note "passed"
