#!/usr/bin/env bash
# Starts and stops the services the tests use, each on this machine only:
#   an X server (Xvfb) with a notification area (trayer) and a compositor (xcompmgr), a
#   PulseAudio daemon with a null sink, an Icecast server on 127.0.0.1 with two live test-tone
#   mounts (/tone.mp3 and /tone.ogg, 440 Hz) and a chained Ogg mount (/chained.ogg: a new chain
#   every 5 s, as a station's playout starts one per track, alternately 440 Hz and 880 Hz), and a
#   private Wine prefix with its server running for the Windows build (where Wine is installed:
#   32-bit where this machine runs 32-bit programs, else 64-bit, see scripts/wine-prefix.sh).
#
#   scripts/services.sh start STATE_DIR   start them; STATE_DIR/env holds what tests need
#   scripts/services.sh stop STATE_DIR    stop every process started, by its saved PID
#
# Tests read from the environment (source STATE_DIR/env): DISPLAY, XDG_RUNTIME_DIR,
# LUMIO_ICECAST_PORT, LUMIO_ICECAST_PASSWORD, LUMIO_PULSE_SINK, WINEPREFIX and Wine's settings
# (LUMIO_WINE: the Wine loader to run programs with).
set -euo pipefail

cmd=${1:?usage: services.sh start|stop STATE_DIR}
state=${2:?usage: services.sh start|stop STATE_DIR}

free_port() {
  python3 - <<'PY' 2>/dev/null || echo $((20000 + RANDOM % 20000))
import socket
s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()
PY
}

mount_is_live() {  # mount_is_live PORT MOUNT
  curl -sf --max-time 2 "http://127.0.0.1:$1/status-json.xsl" | grep -q "\"listenurl\":\"[^\"]*/$2\""
}

remember() { echo "$1" >>"$state/pids"; }

# shellcheck source=scripts/wait_for.sh
source "$(dirname "${BASH_SOURCE[0]}")/wait_for.sh"

# shellcheck source=scripts/desktop.sh
source "$(dirname "${BASH_SOURCE[0]}")/desktop.sh"

start_x() {
  local pid desktop_pids=() status=0
  desktop_display "$state" 1280 800 || { echo "Xvfb did not start" >&2; status=1; }
  ((status)) || desktop_panel "$state" || { echo "trayer did not start" >&2; status=1; }
  for pid in "${desktop_pids[@]}"; do remember "$pid"; done
  ((status == 0)) || return 1
  echo "export DISPLAY=$DISPLAY" >>"$state/env"
}

start_pulse() {
  # pulseaudio warns when run as root; it runs all the same.
  pulseaudio -D --exit-idle-time=-1 --system=false --disallow-exit --disable-shm=true \
    --log-target=file:"$state/pulse.log" -n \
    --load="module-native-protocol-unix" --load="module-null-sink sink_name=lumio_test_sink" \
    >/dev/null 2>&1 || true
  wait_for 10 pactl info || { echo "PulseAudio did not start" >&2; cat "$state/pulse.log" >&2; return 1; }
  pactl set-default-sink lumio_test_sink
  local pid
  pid=$(cat "$XDG_RUNTIME_DIR/pulse/pid" 2>/dev/null || true)
  [[ -n "$pid" ]] && remember "$pid"
  echo "export LUMIO_PULSE_SINK=lumio_test_sink" >>"$state/env"
}

start_icecast() {
  local port password=lumio-test
  port=$(free_port)
  mkdir -p "$state/icecast/log"
  chown -R icecast2 "$state/icecast" 2>/dev/null || true
  cat >"$state/icecast/icecast.xml" <<XML
<icecast>
  <limits><clients>50</clients><sources>10</sources><burst-size>65536</burst-size></limits>
  <authentication>
    <source-password>$password</source-password>
    <admin-user>admin</admin-user><admin-password>$password</admin-password>
  </authentication>
  <hostname>127.0.0.1</hostname>
  <listen-socket><port>$port</port><bind-address>127.0.0.1</bind-address></listen-socket>
  <mount><mount-name>/tone.mp3</mount-name><charset>UTF-8</charset></mount>
  <mount><mount-name>/tone.ogg</mount-name><charset>UTF-8</charset></mount>
  <paths>
    <basedir>/usr/share/icecast2</basedir>
    <logdir>$state/icecast/log</logdir>
    <webroot>/usr/share/icecast2/web</webroot>
    <adminroot>/usr/share/icecast2/admin</adminroot>
  </paths>
  <logging><loglevel>2</loglevel></logging>
  <security><chroot>0</chroot>
    <changeowner><user>icecast2</user><group>icecast</group></changeowner></security>
</icecast>
XML
  chmod 755 "$state" "$state/icecast"
  icecast2 -c "$state/icecast/icecast.xml" >"$state/icecast.out" 2>&1 &
  remember $!
  wait_for 10 curl -sf "http://127.0.0.1:$port/status-json.xsl" ||
    { echo "Icecast did not start" >&2; cat "$state/icecast.out" "$state/icecast/log/error.log" >&2; return 1; }

  gst-launch-1.0 -q audiotestsrc is-live=true wave=sine freq=440 volume=0.5 \
    ! audio/x-raw,rate=44100,channels=2 ! audioconvert \
    ! lamemp3enc target=bitrate bitrate=128 cbr=true \
    ! shout2send ip=127.0.0.1 port="$port" password="$password" mount=/tone.mp3 \
    >"$state/feed-mp3.log" 2>&1 &
  remember $!
  gst-launch-1.0 -q audiotestsrc is-live=true wave=sine freq=440 volume=0.5 \
    ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! vorbisenc ! oggmux \
    ! shout2send ip=127.0.0.1 port="$port" password="$password" mount=/tone.ogg \
    >"$state/feed-ogg.log" 2>&1 &
  remember $!
  local freq
  for freq in 440 880; do
    gst-launch-1.0 -q audiotestsrc num-buffers=216 wave=sine freq=$freq volume=0.5 \
      ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! vorbisenc ! oggmux \
      ! filesink location="$state/icecast/track$freq.ogg" >>"$state/feed-chained.log" 2>&1
  done
  # shellcheck disable=SC2016
  bash -c 'while :; do cat "$1" "$2" || exit; done' _ "$state/icecast/track440.ogg" \
    "$state/icecast/track880.ogg" \
    | gst-launch-1.0 -q fdsrc fd=0 blocksize=4096 ! application/ogg \
    ! shout2send ip=127.0.0.1 port="$port" password="$password" mount=/chained.ogg \
    >>"$state/feed-chained.log" 2>&1 &
  remember $!
  for mount in tone.mp3 tone.ogg chained.ogg; do
    wait_for 15 mount_is_live "$port" "$mount" ||
      { echo "the Icecast mount /$mount did not come up" >&2; return 1; }
  done
  {
    echo "export LUMIO_ICECAST_PORT=$port"
    echo "export LUMIO_ICECAST_PASSWORD=$password"
  } >>"$state/env"
}

start_wine() {
  command -v wine >/dev/null || command -v wine64 >/dev/null || return 0
  local why
  if ! why=$("$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" choose 2>&1 >/dev/null); then
    echo "no Wine prefix, the Windows tests will skip: $why" >&2
    return 0
  fi
  # Booting a prefix takes a while: it runs beside the other services and is waited for last.
  "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" start "$state/wine" >"$state/wine.env" \
    2>"$state/wine.log" &
  echo $! >"$state/wine.boot"
}

finish_wine() {
  [[ -f "$state/wine.boot" ]] || return 0
  wait "$(cat "$state/wine.boot")" || { echo "Wine did not start" >&2; cat "$state/wine.log" >&2; return 1; }
  cat "$state/wine.env" >>"$state/env"
}

case "$cmd" in
  start)
    mkdir -p "$state"
    : >"$state/env"
    : >"$state/pids"
    export XDG_RUNTIME_DIR="$state/runtime"
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    echo "export XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" >>"$state/env"
    start_x
    # Wine's desktop takes the screen's size when it boots: it must see the display.
    start_wine
    start_pulse
    start_icecast
    finish_wine
    ;;
  stop)
    [[ -d "$state/wine" ]] && "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" stop "$state/wine"
    [[ -f "$state/pids" ]] || exit 0
    while read -r pid; do
      [[ -n "$pid" ]] && kill "$pid" 2>/dev/null || true
    done <"$state/pids"
    sleep 0.3
    while read -r pid; do
      [[ -n "$pid" ]] && kill -9 "$pid" 2>/dev/null || true
    done <"$state/pids"
    : >"$state/pids"
    ;;
  *) echo "usage: services.sh start|stop STATE_DIR" >&2; exit 2 ;;
esac
