#!/usr/bin/env bash
# The ways a run cannot start end non-zero and say why.
#   honest_failures_test.sh THORNWAKE DATA no-display   no display at all, then one that cannot be reached
#   honest_failures_test.sh THORNWAKE DATA softpipe     a GL whose limits fall short (Mesa's softpipe)
#   honest_failures_test.sh THORNWAKE DATA missing      the meshes and the path gone: the show runs, naming each
set -uo pipefail
bin=$1
data=$2
mode=$3
. "$(dirname "$0")/../support/no_data.sh"
[ -f "$data/music/PS.mp3" ] || no_data "$data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# expect NAME WANT_RC LINE... : the last run's exit code and each line, in that order.
expect() {
  local name=$1 want_rc=$2 line problem=""
  shift 2
  [ "$rc" -eq "$want_rc" ] || problem="exit $rc, expected $want_rc"
  for line in "$@"; do grep -qF -- "$line" "$work/log" || problem="$problem; no line '$line'"; done
  if [ -n "$problem" ]; then
    failures=$((failures + 1))
    echo "FAIL $name: ${problem#; }"
    sed 's/^/    /' "$work/log" | tail -n 20
  else
    echo "ok   $name"
  fi
}

# The line after a message: SDL's reason, which must not be empty.
reason_after() { grep -A1 -F -- "$1" "$work/log" | sed -n 2p; }

case $mode in
  no-display)
    # Whatever SDL falls back to, the run must end non-zero with the message and a reason.
    env -u DISPLAY -u WAYLAND_DISPLAY timeout 120 "$bin" --data "$data" --size 160x90 --silent > "$work/log" 2>&1
    rc=$?
    expect "no display" 1 "ERROR: "
    [ -n "$(reason_after "ERROR: ")" ] ||
      { failures=$((failures + 1)); echo "FAIL no display: no reason after the message"; }

    # A display that is named but cannot be reached: the setup dialog says why and the run
    # goes on at the default size, then the window fails with SDL's reason.
    env -u WAYLAND_DISPLAY DISPLAY=:7919 SDL_VIDEODRIVER=x11 timeout 120 "$bin" --data "$data" --silent \
      > "$work/log" 2>&1
    rc=$?
    expect "unreachable display" 1 "the setup dialog cannot open (" "running at 1280x720" \
      "Failed To Register The Window Class."
    [ -n "$(reason_after "Failed To Register The Window Class.")" ] ||
      { failures=$((failures + 1)); echo "FAIL unreachable display: no reason after the message"; }
    ;;
  softpipe)
    GALLIUM_DRIVER=softpipe LIBGL_ALWAYS_SOFTWARE=1 timeout 300 "$bin" --data "$data" \
      --capture "$work/out" --size 160x90 --fps 10 --from 60 --to 60.1 --no-aa > "$work/log" 2>&1
    rc=$?
    expect "softpipe" 1 "This GL offers GL_MAX_TEXTURE_BUFFER_SIZE 65536; the show needs 250000."
    [ -z "$(ls -A "$work/out" 2>/dev/null)" ] ||
      { failures=$((failures + 1)); echo "FAIL softpipe: frames written by a run that refused"; }
    ;;
  missing)
    # A copy of the data made of links, without the meshes and the path.
    mkdir -p "$work/data"
    for f in "$data"/*; do ln -s "$f" "$work/data/"; done
    rm "$work/data/newneomeshes" "$work/data/try1.sav"
    LIBGL_ALWAYS_SOFTWARE=1 timeout 300 "$bin" --data "$work/data" --capture "$work/out" --size 160x90 \
      --fps 10 --to 0.1 --no-aa --no-cache > "$work/log" 2>&1
    rc=$?
    expect "missing meshes and path" 0 "try1.sav: missing or unreadable;" \
      "newneomeshes//thegoodbox.obj: missing or unreadable;" "newneomeshes//thehead.obj: missing or unreadable;" \
      "newneomeshes//thornwake.obj: missing or unreadable;"
    [ -f "$work/out/000000.png" ] || { failures=$((failures + 1)); echo "FAIL missing: no frame written"; }
    ;;
  *) echo "unknown mode $mode"; exit 2 ;;
esac
[ $failures -eq 0 ]
