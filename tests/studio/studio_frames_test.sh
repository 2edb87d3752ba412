#!/usr/bin/env bash
# Studio mode drives the command layer (pause, step, seek, a redraw, a seek back) and its
# frames, overlay hidden from the picture, must be the bytes a capture writes at those times.
# Then one frame with the overlay is kept as studio_overlay.png in OUT_DIR for a person to look at.
# Usage: studio_frames_test.sh THORNWAKE_BINARY DATA_DIR OUT_DIR
set -euo pipefail
bin=$1
data=$2
out=$3
[ -f "$data/music/PS.mp3" ] || { echo "no generated data in $data: skipping"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy XDG_CACHE_HOME="$work/cache"

fail() { echo "FAIL: $*"; exit 1; }
run() { # NAME ARGS...: a small run, its log kept for failures
  local name=$1; shift
  "$bin" --data "$data" --no-aa "$@" > "$work/$name.log" 2>&1 || { cat "$work/$name.log"; fail "$name exited non-zero"; }
}
same() { cmp -s "$work/$1" "$work/$2" || fail "studio $1 differs from capture $2"; }

cat > "$work/script" <<EOS
pause
seek 2
shot $work/studio 0
shot $work/studio 1
step 1
shot $work/studio 2
step -1
step -1
shot $work/studio 3
seek 2.25
shot $work/studio 4
seek 2
shot $work/studio 5
key 27
wait 40
quit
EOS
run studio --size 160x90 --studio-script "$work/script"
grep -q "refused" "$work/studio.log" && { cat "$work/studio.log"; fail "a script command was refused"; }
# Escape, through the event queue, ends a paused studio with the closing fade, not the script's quit.
grep -q "overlay CPU median" "$work/studio.log" && fail "Escape did not end the paused studio"
# 60 fps from 1.97: frames at 119/60, 120/60 (= 2) and 121/60; 4 fps from 2: 2.25.
run cap60 --size 160x90 --capture "$work/cap60" --fps 60 --from 1.97 --to 2.02
run cap4 --size 160x90 --capture "$work/cap4" --fps 4 --from 2 --to 2.25
same studio/000000.png cap60/000001.png
same studio/000001.png cap60/000001.png  # drawn again while paused
same studio/000002.png cap60/000002.png
same studio/000003.png cap60/000000.png
same studio/000004.png cap4/000000.png
same studio/000005.png cap60/000001.png  # after a seek back

cat > "$work/overlay.script" <<EOS
pause
seek 0.5
loop 0.5 30
wait 3
shot-overlay $work/overlay_shot 0
quit
EOS
run overlay --size 640x360 --studio-script "$work/overlay.script"
cp "$work/overlay_shot/000000.png" "$out/studio_overlay.png"
grep -q "overlay CPU median" "$work/overlay.log" || fail "no overlay timing line"
echo "overlay picture: $out/studio_overlay.png"

# A quit ends the run there: the lines after it never run, and the exit is clean.
printf 'pause\nquit\nshot %s 0\n' "$work/after_quit" > "$work/quit.script"
run quit --size 160x90 --studio-script "$work/quit.script"
[ ! -e "$work/after_quit" ] || fail "a line after quit ran"
# An unreadable script ends the run with code 2 and says which file.
set +e
"$bin" --data "$data" --no-aa --size 160x90 --studio-script "$work/no.script" > "$work/noscript.log" 2>&1
rc=$?
set -e
[ $rc -eq 2 ] && grep -qF "cannot read the studio script '$work/no.script'" "$work/noscript.log" ||
  { cat "$work/noscript.log"; fail "an unreadable script: exit $rc"; }
