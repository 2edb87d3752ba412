#!/usr/bin/env bash
# End to end: the program renders in capture mode and exports a video, headless.
# Usage: capture_run_test.sh THORNWAKE_BINARY DATA_DIR
set -euo pipefail
bin=$1
data=$2
. "$(dirname "$0")/../support/no_data.sh"
[ -f "$data/music/PS.mp3" ] || no_data "$data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LIBGL_ALWAYS_SOFTWARE=1 XDG_CACHE_HOME="$work/cache"

fail() { echo "FAIL: $*"; exit 1; }

# Frames: every frame up to --to, named by index, bit-identical on a second run.
"$bin" --data "$data" --capture "$work/a" --size 160x90 --fps 10 --to 0.5 --no-aa > "$work/log" 2>&1 ||
  { cat "$work/log"; fail "capture exited non-zero"; }
[ "$(ls "$work/a" | wc -l)" -eq 5 ] || fail "expected 5 frames, got $(ls "$work/a")"
[ -f "$work/a/000000.png" ] && [ -f "$work/a/000004.png" ] || fail "frame names"
grep -q "frame 5/5  show 0.50 s" "$work/log" || fail "no final progress line: $(tail -1 "$work/log")"
"$bin" --data "$data" --capture "$work/b" --size 160x90 --fps 10 --to 0.5 --no-aa > /dev/null 2>&1
cmp -s "$work/a/000004.png" "$work/b/000004.png" || fail "two runs differ"

# Video: frame count, duration, an audio stream; the fade-in makes the first frame black.
"$bin" --data "$data" --video "$work/v.mp4" --size 160x90 --fps 10 --to 2 --no-aa > "$work/log" 2>&1 ||
  { cat "$work/log"; fail "video export exited non-zero"; }
frames=$(ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=nb_read_frames -of csv=p=0 "$work/v.mp4")
[ "$frames" -eq 20 ] || fail "video has $frames frames, expected 20"
audio=$(ffprobe -v error -select_streams a -show_entries stream=codec_name -of csv=p=0 "$work/v.mp4")
[ "$audio" = "aac" ] || fail "no AAC audio stream ($audio)"
duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/v.mp4")
awk -v d="$duration" 'BEGIN { exit !(d > 1.9 && d < 2.2) }' || fail "duration $duration"
first=$(ffmpeg -v error -i "$work/v.mp4" -vframes 1 -vf format=gray -f rawvideo - | od -An -tu1 -v | awk '{for(i=1;i<=NF;i++) if ($i>m) m=$i} END {print m+0}')
[ "$first" -le 24 ] || fail "first frame is not black (max $first)"

# Later in the show something is on screen.
"$bin" --data "$data" --capture "$work/c" --size 160x90 --fps 10 --from 4.9 --to 5.0 --no-aa > /dev/null 2>&1
lit=$(ffmpeg -v error -i "$work/c/000000.png" -vf format=gray -f rawvideo - | od -An -tu1 -v | awk '{for(i=1;i<=NF;i++) if ($i>m) m=$i} END {print m+0}')
[ "$lit" -gt 40 ] || fail "frame at show time 5 is black (max $lit)"

# Bad input: one clear line, exit code 2; an unwritable video path fails before rendering.
set +e
"$bin" --size nonsense > "$work/out" 2>&1; rc=$?
[ $rc -eq 2 ] && grep -q -- '--size' "$work/out" || fail "bad --size gave $rc"
"$bin" --data "$data" --video /proc/nope/v.mp4 --to 1 > "$work/out" 2>&1; rc=$?
[ $rc -ne 0 ] && grep -q "cannot write" "$work/out" || fail "unwritable video path gave $rc"
# ffmpeg missing, or dying on the way: one line naming it, non-zero exit, no partial file.
PATH=/nonexistent "$bin" --data "$data" --video "$work/m.mp4" --size 160x90 --fps 10 --to 1 --no-aa \
  > "$work/out" 2>&1; rc=$?
[ $rc -ne 0 ] && grep -q "cannot start ffmpeg" "$work/out" && [ ! -e "$work/m.mp4" ] ||
  fail "missing ffmpeg gave $rc: $(tail -1 "$work/out")"
mkdir "$work/fake"
printf '#!/bin/sh\nfor a; do last=$a; done\n: > "$last"\nexit 3\n' > "$work/fake/ffmpeg"
chmod +x "$work/fake/ffmpeg"
PATH="$work/fake:$PATH" "$bin" --data "$data" --video "$work/d.mp4" --size 160x90 --fps 10 --to 1 --no-aa \
  > "$work/out" 2>&1; rc=$?
[ $rc -ne 0 ] && grep -q "ffmpeg failed (exit code 3)" "$work/out" && [ ! -e "$work/d.mp4" ] ||
  fail "dying ffmpeg gave $rc: $(tail -1 "$work/out")"

# Ctrl-C while encoding: exit 130, ffmpeg gone, the partial file removed.
"$bin" --data "$data" --video "$work/i.mp4" --size 160x90 --fps 10 --to 60 --no-aa > "$work/out" 2>&1 &
pid=$!
for _ in $(seq 100); do grep -q "frame [1-9]" "$work/out" 2>/dev/null && break; sleep 0.2; done
ff=$(pgrep -P $pid -x ffmpeg || true)
[ -n "$ff" ] || fail "no ffmpeg under the running export"
kill -INT $pid
wait $pid; rc=$?
[ $rc -eq 130 ] && [ ! -e "$work/i.mp4" ] || fail "interrupted export gave $rc, file $(ls "$work")"
! kill -0 "$ff" 2>/dev/null || fail "ffmpeg outlived the interrupted export"

# Frames that can no longer be written end the capture with exit 1, not a silent gap.
"$bin" --data "$data" --capture "$work/gone" --size 160x90 --fps 10 --to 60 --no-aa > "$work/out" 2>&1 &
pid=$!
for _ in $(seq 100); do grep -q "frame [1-9]" "$work/out" 2>/dev/null && break; sleep 0.2; done
rm -rf "$work/gone"
wait $pid; rc=$?
[ $rc -eq 1 ] && grep -q "cannot write $work/gone/" "$work/out" || fail "lost frame folder gave $rc: $(tail -1 "$work/out")"
echo "capture and video export: ok"
