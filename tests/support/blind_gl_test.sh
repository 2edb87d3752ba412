#!/usr/bin/env bash
# A GL test executable run where no context can be made: it skips on a developer's
# machine, and fails under CI so that a machine without a display cannot pass blind.
#   blind_gl_test.sh TEST_EXECUTABLE GTEST_FILTER
set -uo pipefail
bin=$1
filter=$2
blind() { env -u DISPLAY -u WAYLAND_DISPLAY "$@" SDL_VIDEODRIVER=x11 "$bin" --gtest_filter="$filter" 2>&1; }

out=$(blind CI=true); rc=$?
[ $rc -ne 0 ] || { echo "$out"; echo "FAIL: passed under CI without a context"; exit 1; }
grep -q "no GL context under CI" <<<"$out" || { echo "$out"; echo "FAIL: no reason given"; exit 1; }

out=$(blind -u CI); rc=$?
[ $rc -eq 0 ] && grep -q "SKIPPED" <<<"$out" || { echo "$out"; echo "FAIL: expected a skip outside CI"; exit 1; }
echo "ok"
