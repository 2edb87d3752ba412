#!/usr/bin/env bash
# A shader saved while the studio runs: a broken save keeps the last good program (same
# picture) and names the file and line on the console, once; a fixed save shows on screen
# without a restart; saving the first text back gives the first picture again.
# Usage: live_reload_test.sh THORNWAKE_BINARY DATA_DIR
set -euo pipefail
bin=$1
data=$2
[ -f "$data/music/PS.mp3" ] || { echo "no generated data in $data: skipping"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy XDG_CACHE_HOME="$work/cache"
fail() { echo "FAIL: $*"; exit 1; }

# A data folder of our own whose shaders we may rewrite; the rest is the real one.
mkdir "$work/data"
for entry in "$data"/*; do ln -s "$entry" "$work/data/"; done
rm "$work/data/PostProcessing"
cp -r "$data/PostProcessing" "$work/data/PostProcessing"
shader="$work/data/PostProcessing/f_blurpass.cpp"
cp "$shader" "$work/original.cpp"
grep -q 'gl_FragColor = vec4(colour, 1.0);' "$shader" || fail "the final pass no longer ends as this test expects"

cat > "$work/script" <<EOS
pause
seek 0.5
shot $work/live 0
wait-file $work/broken
sleep 1.5
shot $work/live 1
wait-file $work/fixed
sleep 1.5
shot $work/live 2
wait-file $work/restored
sleep 1.5
shot $work/live 3
quit
EOS
"$bin" --data "$work/data" --no-aa --size 160x90 --studio-script "$work/script" > "$work/log" 2>&1 &
pid=$!
wait_for() { # FILE: the studio has written it
  local i
  for ((i = 0; i < 600; i++)); do [ -f "$1" ] && return 0; kill -0 $pid 2>/dev/null || break; sleep 0.2; done
  cat "$work/log"; fail "the studio never wrote $1"
}
wait_for "$work/live/000000.png"
sed 's/gl_FragColor = vec4(colour, 1.0);/gl_FragColor = vec4(colour, nope);/' "$work/original.cpp" > "$shader"
touch "$work/broken"
wait_for "$work/live/000001.png"
sed 's/gl_FragColor = vec4(colour, 1.0);/gl_FragColor = vec4(colour.bgr * 0.5, 1.0);/' "$work/original.cpp" > "$shader"
touch "$work/fixed"
wait_for "$work/live/000002.png"
cp "$work/original.cpp" "$shader"
touch "$work/restored"
wait $pid || { cat "$work/log"; fail "the studio exited non-zero"; }

cmp -s "$work/live/000000.png" "$work/live/000001.png" || fail "a broken save changed the picture"
cmp -s "$work/live/000000.png" "$work/live/000002.png" && fail "the fixed shader did not show"
cmp -s "$work/live/000000.png" "$work/live/000003.png" || fail "the first shader text did not come back"
[ "$(grep -c 'failed; the last good program stays in use' "$work/log")" -eq 1 ] ||
  { cat "$work/log"; fail "the failure was not printed exactly once"; }
grep -q "PostProcessing/f_blurpass.cpp:[0-9]*:" "$work/log" || { cat "$work/log"; fail "no file and line in the log"; }
[ "$(grep -c 'rebuilt PostProcessing/f_blurpass.cpp' "$work/log")" -eq 2 ] || { cat "$work/log"; fail "expected two rebuilds"; }
grep "rebuilt\|failed" "$work/log"
