#!/usr/bin/env bash
# scripts/checkpoints against a whole run: each checkpoint must be the very frame the run
# draws at that time, and bad input must stop it before anything runs.
# Usage: checkpoints_test.sh THORNWAKE_BINARY DATA_DIR SCRIPTS_DIR
set -euo pipefail
bin=$1
data=$2
checkpoints=$3/checkpoints
. "$(dirname "$0")/../support/no_data.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export THORNWAKE=$bin LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy XDG_CACHE_HOME="$work/cache"
fail() { echo "FAIL: $*"; exit 1; }

refused() { # WHAT ARGS...: exit 2 with a word on it, and no OUT made
  local what=$1
  shift
  local rc=0
  "$checkpoints" "$@" > "$work/refused.log" 2>&1 || rc=$?
  [ $rc -eq 2 ] || fail "$what: exit $rc, not 2: $(cat "$work/refused.log")"
  grep -q "^checkpoints: " "$work/refused.log" || fail "$what: no reason given: $(cat "$work/refused.log")"
  [ ! -e "$work/never" ] || fail "$what: made its output folder"
}
refused "time 0" --times 0,10 "$work/never"
refused "time past the end" --times 199 "$work/never"
refused "not a time" --times 5,ten "$work/never"
refused "no time" --times , "$work/never"
refused "a capture option" "$work/never" --fps 30

[ -f "$data/music/PS.mp3" ] || no_data "$data"
size=(--data "$data" --size 160x90 --no-aa)
"$bin" "${size[@]}" --capture "$work/run" --from 0 --to 1 > "$work/run.log" 2>&1 ||
  { cat "$work/run.log"; fail "the whole run exited non-zero"; }
# Given out of order and twice: captured once each, in order, named as given.
"$checkpoints" --times 1,0.5,1 "$work/out" "${size[@]}" > "$work/out.log" 2>&1 ||
  { cat "$work/out.log"; fail "checkpoints exited non-zero"; }
[ "$(ls "$work/out")" = "$(printf 't0.5.png\nt1.png')" ] || fail "checkpoint files: $(ls "$work/out")"
grep -q "1 of 2: show time 0.5 s" "$work/out.log" && grep -q "2 of 2: show time 1 s" "$work/out.log" ||
  fail "no progress: $(cat "$work/out.log")"
# Frame k of the run shows time (k + 1) / 60.
cmp -s "$work/out/t0.5.png" "$work/run/000029.png" || fail "t0.5.png is not the run's frame at 0.5 s"
cmp -s "$work/out/t1.png" "$work/run/000059.png" || fail "t1.png is not the run's frame at 1 s"

# A capture that fails stops the run with its log, and keeps what was captured.
rc=0
"$checkpoints" --times 0.5 "$work/out" --data "$work/nowhere" > "$work/bad.log" 2>&1 || rc=$?
[ $rc -eq 1 ] || fail "missing data: exit $rc, not 1: $(cat "$work/bad.log")"
grep -q "the capture at show time 0.5 s failed" "$work/bad.log" && grep -q "  | " "$work/bad.log" ||
  fail "missing data: no log shown: $(cat "$work/bad.log")"
cmp -s "$work/out/t0.5.png" "$work/run/000029.png" || fail "a failed capture touched the earlier checkpoint"
echo "checkpoints: ok"
