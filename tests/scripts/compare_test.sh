#!/usr/bin/env bash
# scripts/compare on pictures made by ffmpeg itself: no GL, no show data.
# Usage: compare_test.sh SCRIPTS_DIR
set -euo pipefail
compare=$1/compare
command -v ffmpeg >/dev/null || { echo "no ffmpeg: skipping"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cd "$work"

make_png() { # NAME FILTERS
  ffmpeg -v error -nostdin -f lavfi -i "testsrc=size=160x90:rate=1" -frames:v 1 -vf "$2" -y "$1"
}
make_png same.png null
make_png noisy.png "noise=alls=2:allf=t"    # a little grain: close but not equal
make_png blurred.png "boxblur=4"            # plainly softer
make_png narrow.png "scale=80:90"
value() { awk -v name="$1" -v key="$2" '$1 == name { for (i = 2; i < NF; i++) if ($i == key) print $(i + 1) }' "$3"; }

# Identical pictures: SSIM 1 and PSNR inf, also as the worst frame.
"$compare" same.png same.png > out || fail "identical pictures gave $?"
[ "$(value same.png SSIM out)" = 1.000000 ] && [ "$(value same.png PSNR out)" = inf ] || fail "identical: $(cat out)"
grep -q "worst PSNR: same.png inf" out || fail "worst of identical pictures: $(cat out)"

# Further apart means lower values: grain below identical, blur below grain.
"$compare" same.png noisy.png > noisy || fail "noisy compare exited $?"
"$compare" same.png blurred.png > blurred || fail "blurred compare exited $?"
awk -v n="$(value noisy.png SSIM noisy)" -v b="$(value blurred.png SSIM blurred)" 'BEGIN { exit !(b < n && n < 1) }' ||
  fail "SSIM order: grain $(value noisy.png SSIM noisy), blur $(value blurred.png SSIM blurred)"
awk -v n="$(value noisy.png PSNR noisy)" -v b="$(value blurred.png PSNR blurred)" 'BEGIN { exit !(b < n && n > 30) }' ||
  fail "PSNR order: grain $(value noisy.png PSNR noisy), blur $(value blurred.png PSNR blurred)"

# Folders: paired by name, the worst frame named; a name on one side only fails and is named.
mkdir a b
cp same.png a/000001.png; cp same.png b/000001.png
cp same.png a/000002.png; cp blurred.png b/000002.png
cp same.png a/000003.png; cp noisy.png b/000003.png
"$compare" a b > out || fail "folders gave $?"
[ "$(grep -c '^00000[123].png ' out)" -eq 3 ] || fail "expected three frames: $(cat out)"
grep -q "worst SSIM: 000002.png" out && grep -q "worst PSNR: 000002.png" out || fail "worst frame: $(cat out)"
cp same.png a/000004.png; cp same.png b/000005.png
set +e
"$compare" a b > out 2> err; rc=$?
set -e
[ $rc -eq 2 ] || fail "a missing frame gave exit $rc"
grep -q "000004.png is in a but not in b" err && grep -q "000005.png is in b but not in a" err ||
  fail "missing names not named: $(cat err)"
rm a/000004.png b/000005.png

# The bound: a frame passes on either value; exit 1 only when one reaches neither.
bound() { set +e; "$compare" "$@" > out 2>&1; echo $?; set -e; }
[ "$(bound --min-ssim 0.4 --min-psnr 99 a b)" -eq 0 ] || fail "SSIM alone should pass: $(cat out)"
[ "$(bound --min-ssim 0.9999 --min-psnr 10 a b)" -eq 0 ] || fail "PSNR alone should pass: $(cat out)"
[ "$(bound --min-ssim 0.9999 --min-psnr 99 a b)" -eq 1 ] || fail "both missed should fail: $(cat out)"
grep -q "000002.png .*FAIL" out && ! grep -q "000001.png .*FAIL" out || fail "the failing frame is not marked: $(cat out)"

# Bad input: different sizes, a non-image, a file against a folder, a bad bound.
[ "$(bound same.png narrow.png)" -eq 2 ] && grep -q "size mismatch.*160x90.*80x90" out || fail "sizes: $(cat out)"
echo "not a picture" > bad.png
[ "$(bound same.png bad.png)" -eq 2 ] && grep -q "cannot read bad.png" out || fail "non-image: $(cat out)"
[ "$(bound same.png a)" -eq 2 ] || fail "file against folder: $(cat out)"
[ "$(bound --min-ssim high a b)" -eq 2 ] || fail "bad bound: $(cat out)"
"$compare" --help | grep -q -- "--min-psnr" || fail "--help"
echo "compare: ok"
