#!/usr/bin/env bash
# One show at every frame rate and from every start time: byte-identical frames.
# Usage: exact_show_test.sh THORNWAKE_BINARY DATA_DIR
set -euo pipefail
bin=$1
data=$2
[ -f "$data/music/PS.mp3" ] || { echo "no generated data in $data: skipping"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LIBGL_ALWAYS_SOFTWARE=1 XDG_CACHE_HOME="$work/cache"

fail() { echo "FAIL: $*"; exit 1; }
capture() { # DIR ARGS...: a small capture, its log kept for failures
  local dir=$1; shift
  "$bin" --data "$data" --capture "$work/$dir" --size 160x90 --no-aa "$@" > "$work/$dir.log" 2>&1 ||
    { cat "$work/$dir.log"; fail "capture $dir $* exited non-zero"; }
}
png() { printf '%s/%s/%06d.png' "$work" "$1" "$2"; }
# same A FIRST_A B FIRST_B COUNT [STRIDE_B]: frames FIRST_A + k of A and FIRST_B + STRIDE_B * k of B
same() {
  local k
  for ((k = 0; k < $5; k++)); do
    cmp -s "$(png "$1" $(($2 + k)))" "$(png "$3" $(($4 + ${6:-1} * k)))" ||
      fail "$1 frame $(($2 + k)) differs from $3 frame $(($4 + ${6:-1} * k))"
  done
}

# Show time 0 to 12 in one run, at 30 fps; it leaves snapshots at 5 and 10 s behind.
capture whole --fps 30 --to 12
[ "$(ls "$work/whole" | wc -l)" -eq 360 ] || fail "expected 360 frames"

# Frame k at 30 fps is frame 2k + 1 at 60 fps, early on and in the first blast.
capture sixty --fps 60 --to 2
same whole 0 sixty 1 60 2
capture blast30 --fps 30 --from 140 --to 142
capture blast60 --fps 60 --from 140 --to 142
same blast30 0 blast60 1 60 2

# A range on its own is the same range of the whole run: stepped from 0, then from a snapshot.
capture alone --fps 30 --from 10 --to 12 --no-cache
grep -q "fast-forward" "$work/alone.log" || fail "no progress line while stepping from 0"
same alone 0 whole 300 60
capture cached --fps 30 --from 10 --to 12
same cached 0 whole 300 60

# A bake up to --to leaves the snapshots up to there, and a capture from them is the same.
XDG_CACHE_HOME=$work/baked "$bin" --data "$data" --size 160x90 --no-aa --bake --to 12 > "$work/bake.log" 2>&1 ||
  { cat "$work/bake.log"; fail "--bake --to 12 exited non-zero"; }
baked=$(ls "$work"/baked/thornwake/*/ | tr '\n' ' ')
[ "$baked" = "00000300.snap 00000600.snap " ] || fail "--bake --to 12 left '$baked'"
XDG_CACHE_HOME=$work/baked capture fromBake --fps 30 --from 10 --to 10.5
! grep -q "fast-forward" "$work/fromBake.log" || fail "a capture from a baked snapshot stepped from 0"
same fromBake 0 whole 300 15

# A damaged snapshot is refused with one line and recomputed; the frames stay the same.
snap=$(ls "$work"/cache/thornwake/*/00000600.snap)
head -c 1000 "$snap" > "$snap.cut" && mv "$snap.cut" "$snap"
capture damaged --fps 30 --from 10 --to 10.5
grep -q "rejected" "$work/damaged.log" || fail "a damaged snapshot was not reported"
same damaged 0 whole 300 15

# A --from between frames is rounded to one, and the capture says so.
capture rounded --fps 30 --from 10.01 --to 10.1
grep -q "whole frame" "$work/rounded.log" || fail "the rounded start was not reported"
same rounded 0 whole 300 3

# A scene past the show's end is refused instead of ending the show.
set +e
timeout 10 "$bin" --data "$data" --size 160x90 --windowed --silent --no-cache --start-scene 4 > "$work/jump.log" 2>&1
set -e
grep -q "after the show's end; not jumping" "$work/jump.log" || { cat "$work/jump.log"; fail "scene 4 was not refused"; }
echo "exact show: all frames identical"
