#!/usr/bin/env bash
# Every developer script answers --help at once, before it installs, builds or runs
# anything, and the ones whose arguments are few refuse what they cannot use.
# Usage: help_test.sh SCRIPTS_DIR
set -euo pipefail
scripts=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# A build folder that must not appear; `run` hands its arguments to the program after
# building, so it is not among these.
export BUILD_DIR=$work/build

for s in bench build checkpoints compare fuzz install-deps package render-parallel soak test; do
  for flag in -h --help; do
    timeout 20 "$scripts/$s" "$flag" > "$work/out" 2> "$work/err" || fail "$s $flag exited $?: $(cat "$work/err")"
    [ "$(wc -l < "$work/out")" -ge 1 ] || fail "$s $flag printed no help"
    grep -q '^#' "$work/out" && fail "$s $flag printed comment marks: $(head -3 "$work/out")"
    [ ! -e "$BUILD_DIR" ] || fail "$s $flag started a build"
  done
done

refused() { # EXPECTED_TEXT SCRIPT ARGS...
  local text=$1
  shift
  if timeout 20 "$scripts/$@" > /dev/null 2> "$work/err"; then fail "$* was accepted"; fi
  grep -q "$text" "$work/err" || fail "$*: no '$text' in: $(cat "$work/err")"
  [ ! -e "$BUILD_DIR" ] || fail "$* started a build"
}
refused "no arguments" bench --seconds 5
refused "show seconds" soak ten
refused "show seconds" soak 0 198 extra
refused "whole number" fuzz 1m
echo "all scripts answer --help"
