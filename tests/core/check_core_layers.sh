#!/usr/bin/env bash
# Fails, naming each offending line, when a folder of the core includes a folder above its own
# layer or beside it, a platform layer, or a Qt, GStreamer, GLib or Windows header (the last
# only allowed in the Windows side of a platform edge, a *_win file). The build runs it before
# compiling the core, and the test run runs it again.
set -u
src=${1:?usage: check_core_layers.sh SRC_DIR}

# The core's layers, bottom first. A folder may include its own folder and those of the layers
# below; never one of its own layer, so that two folders cannot come to need each other.
layers=(
  "text ports"
  "store stream"
  "catalogue"
  "playback controls recording history"
  "commands schedule hls"
  "app"
)
# The folders that are no part of the core: they sit on top of it and it never includes them.
platform="qt gst win winplayer winbase"

declare -A level
for i in "${!layers[@]}"; do
  for d in ${layers[$i]}; do level[$d]=$i; done
done

failed=0
fail() {
  echo "$1" >&2
  failed=1
}

for path in "$src"/*/; do
  d=$(basename "$path")
  if [[ -z "${level[$d]+x}" && " $platform " != *" $d "* ]]; then
    fail "src/$d is in no layer: add it to the table in $0"
  fi
done

dirs=()
for d in "${!level[@]}"; do [[ -d "$src/$d" ]] && dirs+=("$d"); done

include_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]'
target_re='[<"]([^<">]*)[">]'
for d in "${dirs[@]}"; do
  while IFS=: read -r file line text; do
    [[ "$text" =~ $target_re ]] || continue
    target=${BASH_REMATCH[1]}
    rel=${file#"$src"/}
    if [[ "$target" != */* ]]; then
      # Quoted includes name their folder, so that this check sees every arrow.
      [[ "$text" == *'"'* ]] && fail "$rel:$line: $text  (name the folder: \"dir/file.h\")"
      continue
    fi
    to=${target%%/*}
    if [[ -n "${level[$to]+x}" ]]; then
      if [[ "$to" != "$d" && ${level[$to]} -ge ${level[$d]} ]]; then
        fail "$rel:$line: $text  ($d may not include $to: $to is not below it)"
      fi
    elif [[ " $platform " == *" $to "* ]]; then
      fail "$rel:$line: $text  (the core includes the platform layer $to)"
    fi
  done < <(grep -rnE "$include_re" "$src/$d")
done

# Window-layer and sound-backend headers.
hits=$(cd "$src" && grep -rnE "$include_re"'(Q[A-Za-z]+|qt|gst/|glib|gio/)' "${dirs[@]}")
[[ -n "$hits" ]] && fail "the core includes window-layer or sound-backend headers:"$'\n'"$hits"
hits=$(cd "$src" && grep -rlE "$include_re"'(windows|winhttp|wininet|mmsystem|objbase|mfapi|mftransform|shellapi|commctrl)\.h' \
  "${dirs[@]}" | grep -vE '_win(_test)?\.(cpp|h)$')
[[ -n "$hits" ]] && fail "Windows headers outside a *_win file of the core:"$'\n'"$hits"
# The stream code is shared by the Linux and the Windows players as it is: no platform at all.
if [[ -d "$src/stream" ]]; then
  hits=$(cd "$src" && grep -rnE "$include_re"'([A-Za-z]+\.h|sys/|iconv)' stream)
  [[ -n "$hits" ]] && fail "the stream code includes platform headers:"$'\n'"$hits"
fi

# The Windows handle owners sit below both Windows folders: they include system headers only.
if [[ -d "$src/winbase" ]]; then
  hits=$(cd "$src" && grep -rnE "$include_re"'[^<">]+/' winbase | grep -v '"winbase/')
  [[ -n "$hits" ]] && fail "src/winbase includes a folder above it:"$'\n'"$hits"
fi

[[ $failed -ne 0 ]] && exit 1
echo "core layers hold: ${#dirs[@]} folders, none includes one above it or a platform header"
