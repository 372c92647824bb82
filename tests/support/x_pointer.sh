# shellcheck shell=bash
# Sourced by the end-to-end libraries of both programs: the program's end, the main window's
# place and the pointer, on the test display. Needs lumio_pid, find_main_window, wait_for and
# fail from the sourcing library; click_settle (seconds) is how long a click is given to land.

# True once the program has ended (an exited child waits as a zombie until it is reaped).
program_ended() {
  local state
  state=$(ps -o stat= -p "$lumio_pid" 2>/dev/null) || return 0
  [[ "$state" == Z* ]]
}

# wait_program_exit SECONDS: waits for the end and reaps the program; sets exit_status.
wait_program_exit() {
  wait_for "$1" program_ended || return 1
  exit_status=0
  wait "$lumio_pid" || exit_status=$?
  lumio_pid=
}

# geometry [WINDOW]: prints "X Y WIDTH HEIGHT" of the window (the main window by default,
# looked up each time: a window layer may make a new one when the window's stacking changes).
geometry() {
  local X='' Y='' WIDTH='' HEIGHT='' WINDOW SCREEN window=${1:-}
  [[ -n "$window" ]] || window=$(find_main_window) || return 1
  eval "$(xdotool getwindowgeometry --shell "$window" 2>/dev/null)"
  echo "$X $Y $WIDTH $HEIGHT"
}
test_geometry() { [[ "$(geometry)" == "$1" ]]; }
# expect_geometry "X Y W H" SECONDS WHAT: waits until the main window is there.
expect_geometry() {
  wait_for "$2" test_geometry "$1" || fail "$3: the window is at $(geometry), expected $1"
}

# window_origin: sets wx, wy to the main window's top-left corner.
window_origin() { read -r wx wy _ _ < <(geometry); }

# pointer_to X Y: moves the pointer to screen point (X, Y) and waits until the server has it
# there (xdotool's own wait blocks for long when the pointer is there already).
pointer_to() {
  local X Y SCREEN WINDOW
  eval "$(xdotool getmouselocation --shell)"
  [[ "$X $Y" == "$1 $2" ]] && return 0
  xdotool mousemove --sync "$1" "$2"
}

# Pointer actions in client coordinates of the main window (its place read now).
move_to_client() {
  window_origin
  pointer_to $((wx + $1)) $((wy + $2))
}
# click_client X Y [BUTTON]
click_client() {
  move_to_client "$1" "$2"
  sleep 0.1
  xdotool click "${3:-1}"
  sleep "${click_settle:-0.2}"
}
double_click_client() {
  move_to_client "$1" "$2"
  sleep 0.1
  xdotool click --repeat 2 --delay 80 1
  sleep 0.3
}

# drag_by DX DY STEPS: presses on the window's background and moves the pointer by DX, DY in
# STEPS equal moves, then releases.
drag_by() {
  local i sx sy
  move_to_client 285 120
  read -r sx sy < <(xdotool getmouselocation | awk -F'[: ]' '{print $2, $4}')
  xdotool mousedown 1
  sleep 0.1
  for ((i = 1; i <= $3; i++)); do
    xdotool mousemove $((sx + $1 * i / $3)) $((sy + $2 * i / $3))
    sleep 0.02
  done
  sleep 0.1
  xdotool mouseup 1
  sleep 0.3
}
