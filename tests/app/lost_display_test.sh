#!/usr/bin/env bash
# A video export whose X server goes away mid-run: it must end, non-zero, with ffmpeg gone
# and no partial file, instead of hanging in exit().
# Usage: lost_display_test.sh THORNWAKE_BINARY DATA_DIR
set -euo pipefail
bin=$1
data=$2
. "$(dirname "$0")/../support/no_data.sh"
command -v Xvfb > /dev/null && command -v ffmpeg > /dev/null || { echo "no Xvfb or ffmpeg: skipping"; exit 77; }
[ -f "$data/music/PS.mp3" ] || no_data "$data"
work=$(mktemp -d)
x=""
run=""
cleanup() {
  for p in $run $x; do kill -KILL "$p" 2> /dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy XDG_CACHE_HOME="$work/cache"
fail() { echo "FAIL: $*"; exit 1; }

Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3> "$work/display" 2> /dev/null &
x=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
DISPLAY=":$(cat "$work/display")" "$bin" --data "$data" --video "$work/v.mp4" --size 160x90 --fps 10 --to 60 --no-aa \
  > "$work/log" 2>&1 &
run=$!
for _ in $(seq 300); do grep -q "frame [1-9]" "$work/log" 2> /dev/null && break; sleep 0.2; done
ff=$(pgrep -P $run -x ffmpeg || true)
[ -n "$ff" ] || { cat "$work/log"; fail "no ffmpeg under the running export"; }
kill -TERM $x
wait $x || true
x=""
for _ in $(seq 100); do kill -0 $run 2> /dev/null || break; sleep 0.1; done
kill -0 $run 2> /dev/null && fail "the export still runs 10 s after its display went away"
set +e
wait $run
rc=$?
set -e
run=""
[ $rc -ne 0 ] || fail "a lost display gave exit 0"
! kill -0 "$ff" 2> /dev/null || fail "ffmpeg outlived the export"
[ ! -e "$work/v.mp4" ] || fail "the partial video was left behind"
echo "lost display: ok"
