#!/usr/bin/env bash
# scripts/render-parallel against one export of the same range: the joined video must decode
# to the very same frames, with the music once over the whole.
# Usage: render_parallel_test.sh THORNWAKE_BINARY DATA_DIR SCRIPTS_DIR
set -euo pipefail
bin=$1
data=$2
render_parallel=$3/render-parallel
. "$(dirname "$0")/../support/no_data.sh"
command -v ffmpeg > /dev/null || { echo "no ffmpeg: skipping"; exit 77; }
[ -f "$data/music/PS.mp3" ] || no_data "$data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy XDG_CACHE_HOME="$work/cache" TMPDIR="$work/tmp"
mkdir "$work/tmp"
fail() { echo "FAIL: $*"; exit 1; }

# Frames 33 to 60 at 10 fps: 28 frames, key-frame groups of 10, 10 and 8; the start is no
# whole second of show, so the grid is the range's and not the show's.
range=(--data "$data" --size 160x90 --fps 10 --from 3.3 --to 6.1 --no-aa)
"$bin" "${range[@]}" --video "$work/single.mp4" > "$work/single.log" 2>&1 ||
  { cat "$work/single.log"; fail "single export exited non-zero"; }
md5s() { # FILE STREAM: decoded frames with their times, nothing else
  ffmpeg -v error -nostdin -i "$1" -map "0:$2" -fps_mode passthrough -f framemd5 - | grep -v '^#'
}
md5s "$work/single.mp4" v > "$work/single.v"
md5s "$work/single.mp4" a > "$work/single.a"
[ "$(wc -l < "$work/single.v")" -eq 28 ] || fail "single export has $(wc -l < "$work/single.v") frames, not 28"

joined() { # N NAME
  THORNWAKE=$bin "$render_parallel" "$1" "${range[@]}" --video "$work/$2.mp4" > "$work/$2.log" 2>&1 ||
    { cat "$work/$2.log"; fail "render-parallel $1 exited non-zero"; }
  md5s "$work/$2.mp4" v > "$work/$2.v"
  cmp -s "$work/single.v" "$work/$2.v" ||
    fail "render-parallel $1: decoded frames differ from one export: $(diff "$work/single.v" "$work/$2.v" | head -4)"
  # One audio stream, the same samples as the single export's, and the same length.
  [ "$(ffprobe -v error -select_streams a -show_entries stream=codec_name -of csv=p=0 "$work/$2.mp4")" = aac ] ||
    fail "render-parallel $1: not exactly one AAC stream"
  md5s "$work/$2.mp4" a > "$work/$2.a"
  cmp -s "$work/single.a" "$work/$2.a" || fail "render-parallel $1: the music differs from one export's"
  local d
  d=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/$2.mp4")
  awk -v d="$d" 'BEGIN { exit !(d > 2.75 && d < 2.9) }' || fail "render-parallel $1: duration $d, not 2.8 s"
}

joined 2 two
grep -q "segment 1: show 3.3 to 4.3 s, 10 frames" "$work/two.log" &&
  grep -q "segment 2: .* 18 frames" "$work/two.log" && grep -q "segment 2 done" "$work/two.log" ||
  fail "segments not reported: $(cat "$work/two.log")"
# More processes than key-frame groups: one segment per group, and it says so.
joined 5 five
grep -q "3 segments, not 5" "$work/five.log" || fail "no word on fewer segments: $(cat "$work/five.log")"
[ -z "$(ls -A "$work/tmp")" ] || fail "temporary files left: $(ls -A "$work/tmp")"
# Through GNU parallel, on this machine (":"): the job's command line survives its quoting.
if command -v parallel > /dev/null; then
  THORNWAKE=$bin "$render_parallel" --sshlogin : --jobs 3 3 "${range[@]}" --video "$work/ssh.mp4" > "$work/ssh.log" 2>&1 ||
    { cat "$work/ssh.log"; fail "render-parallel --sshlogin : exited non-zero"; }
  md5s "$work/ssh.mp4" v | cmp -s "$work/single.v" - || fail "render-parallel --sshlogin : gave other frames"
else
  echo "no GNU parallel: --sshlogin not tried"
fi

# A failing segment stops the run: its log shown, exit 1, nothing written, nothing left.
mkdir "$work/out"
printf '#!/bin/sh\ncase "$*" in *seg-1.mp4*) echo "segment trouble"; exit 3 ;; esac\nexec "%s" "$@"\n' "$bin" \
  > "$work/failing"
chmod +x "$work/failing"
set +e
THORNWAKE=$work/failing "$render_parallel" 2 "${range[@]}" --video "$work/out/x.mp4" > "$work/failed.log" 2>&1
rc=$?
set -e
[ $rc -eq 1 ] || fail "a failing segment gave exit $rc: $(cat "$work/failed.log")"
grep -q "segment 2 .* failed" "$work/failed.log" && grep -q "| segment trouble" "$work/failed.log" ||
  fail "the failing segment's log is not shown: $(cat "$work/failed.log")"
[ -z "$(ls -A "$work/out")" ] && [ -z "$(ls -A "$work/tmp")" ] || fail "left behind: $(ls -A "$work/out" "$work/tmp")"

# Bad usage: exit 2 with the reason.
set +e
"$render_parallel" 0 --video "$work/out/x.mp4" > "$work/bad.log" 2>&1; rc=$?
[ $rc -eq 2 ] && grep -q "whole number of processes" "$work/bad.log" || fail "N=0 gave $rc"
"$render_parallel" --jobs 2 2 --video "$work/out/x.mp4" > "$work/bad.log" 2>&1; rc=$?
[ $rc -eq 2 ] && grep -q -- "--jobs applies to --sshlogin" "$work/bad.log" || fail "--jobs without --sshlogin gave $rc"
THORNWAKE=$bin "$render_parallel" 2 "${range[@]}" > "$work/bad.log" 2>&1; rc=$?
[ $rc -eq 2 ] && grep -q -- "--video OUT.mp4 is required" "$work/bad.log" || fail "no --video gave $rc"
THORNWAKE=$bin "$render_parallel" 2 "${range[@]}" --capture "$work/c" --video "$work/out/x.mp4" > "$work/bad.log" 2>&1
rc=$?
set -e
[ $rc -eq 2 ] && grep -q -- "--capture" "$work/bad.log" || fail "--capture gave $rc"
"$render_parallel" --help | grep -q -- "--sshlogin" || fail "--help"
echo "render-parallel: ok"
