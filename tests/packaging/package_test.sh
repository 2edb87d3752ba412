#!/usr/bin/env bash
# The packages as users get them: cpack from the build tree into a throw-away folder; the
# .deb unpacked with dpkg -x, its files and declared dependencies checked and its program
# run from there; the archive unpacked and run from / without --data, so that neither the
# build tree nor the checkout can help.
# Usage: package_test.sh BUILD_DIR DATA_DIR VERSION
set -euo pipefail
build=$1
data=$2
version=$3
for tool in cpack dpkg-deb dpkg-shlibdeps file readelf ldd; do
  command -v "$tool" > /dev/null || { echo "no $tool: skipping"; exit 77; }
done
[ -f "$data/music/PS.mp3" ] || { echo "no generated data in $data: skipping"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
unset THORNWAKE_DATA XDG_STATE_HOME

fail() { echo "FAIL: $*"; exit 1; }
has() { [ -e "$1" ] || fail "missing ${1#"$work"/}"; }

cpack --config "$build/CPackConfig.cmake" -B "$work/pkg" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$work/pkg/thornwake_${version}_$(dpkg --print-architecture).deb
name=thornwake-$version-linux-$(uname -m)
tgz=$work/pkg/$name.tar.gz
[ -f "$deb" ] && [ -f "$tgz" ] || fail "expected $(basename "$deb") and $(basename "$tgz"), got: $(ls "$work/pkg")"
echo "packages: $(du -h "$deb" | cut -f1) .deb, $(du -h "$tgz" | cut -f1) .tar.gz"

# The fingerprint of the data in the checkout; both packages must carry exactly this.
want=$("$build/thornwake" --version --data "$data" | sed -n 's/^data \([0-9a-f]*\) in .*/\1/p')
[ -n "$want" ] || fail "no fingerprint from $build/thornwake --version"

# --- .deb: what dpkg would install, and the libraries it declares.
depends=$(dpkg-deb -f "$deb" Depends)
for pkg in libsdl2-2.0-0 libglew2.2 libmpg123-0 libopencv-core406 libc6; do
  grep -Eq "(^|, )$pkg( |,|$)" <<< "$depends" || fail "Depends lacks $pkg: $depends"
done
outside=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v -e '^\./$' -e '^\./usr/' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
dpkg -x "$deb" "$work/root"
usr=$work/root/usr
for f in bin/thornwake bin/thornwake-datagen share/applications/thornwake.desktop \
         share/doc/thornwake/THIRD-PARTY.md share/doc/thornwake/CHANGELOG.md \
         share/thornwake/Materials/f_material1.cpp share/thornwake/PostProcessing/f_godrays.cpp \
         share/thornwake/music/PS.mp3 share/thornwake/newneomeshes/thornwake.obj \
         share/thornwake/imageseq/00000.jpeg share/thornwake/binaries/Velocity.dat share/thornwake/try1.sav; do
  has "$usr/$f"
done
grep -qx 'Exec=thornwake' "$usr/share/applications/thornwake.desktop" &&
  grep -qx 'Icon=thornwake' "$usr/share/applications/thornwake.desktop" || fail "desktop entry"
for n in 48 64 128 256; do
  file "$usr/share/icons/hicolor/${n}x$n/apps/thornwake.png" | grep -q "PNG image data, $n x $n" ||
    fail "icon ${n}x$n: $(file "$usr/share/icons/hicolor/${n}x$n/apps/thornwake.png")"
done
file "$usr/bin/thornwake" | grep -q ', stripped' || fail "thornwake is not stripped"

# The installed program finds its prefix's data from anywhere, and writes its developer
# outputs under XDG_STATE_HOME, never into the installed tree.
out=$(cd / && "$usr/bin/thornwake" --version)
grep -qx "data $want in $usr/share/thornwake (the install prefix)" <<< "$out" || fail "installed --version: $out"
(cd / && XDG_STATE_HOME="$work/state" "$usr/bin/thornwake" --capture "$work/deb-frames" --size 160x90 --fps 10 \
  --to 0.2 --no-aa --dev-log) > "$work/log" 2>&1 || { cat "$work/log"; fail "installed program's capture"; }
grep -q "developer outputs go to $work/state/thornwake" "$work/log" || fail "no line naming the output folder"
has "$work/state/thornwake/logs/shiftling2.log"
[ ! -e "$usr/share/thornwake/logs" ] || fail "the installed program wrote into its data"

# --- archive: run from / with no --data; the launcher finds data/ beside the program.
mkdir "$work/unpacked"
tar -xzf "$tgz" -C "$work/unpacked"
top=$work/unpacked/$name
for f in thornwake thornwake-datagen thornwake.sh README.md CHANGELOG.md THIRD-PARTY.md data/music/PS.mp3 \
         data/binaries/Velocity.dat data/imageseq/00000.jpeg data/Materials/f_material1.cpp; do
  has "$top/$f"
done
[ "$(ls "$work/unpacked")" = "$name" ] || fail "archive has more than one top folder: $(ls "$work/unpacked")"
out=$(cd / && "$top/thornwake.sh" --version)
grep -qx "data $want in $top/data (beside the program)" <<< "$out" || fail "archive --version: $out"
(cd / && "$top/thornwake.sh" --capture "$work/frames" --size 160x90 --fps 10 --to 1 --no-aa) > "$work/log" 2>&1 ||
  { cat "$work/log"; fail "capture from the unpacked archive"; }
[ "$(ls "$work/frames" | wc -l)" -eq 10 ] || fail "expected 10 frames, got $(ls "$work/frames" | wc -l)"

# Every library the programs load is named in the licence notes, by its Debian package.
for bin in "$top/thornwake" "$top/thornwake-datagen"; do
  for lib in $(readelf -d "$bin" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p'); do
    path=$(ldd "$bin" | awk -v l="$lib" '$1 == l { print $3 }')
    pkg=$( (dpkg -S "$path" || dpkg -S "$(readlink -f "$path")" || dpkg -S "${path#/usr}") 2> /dev/null |
           head -1 | cut -d: -f1)
    [ -n "$pkg" ] || fail "no Debian package owns $lib ($path)"
    grep -qw -- "$pkg" "$top/THIRD-PARTY.md" || fail "THIRD-PARTY.md does not name $pkg ($lib): add it with its licence"
  done
done

# A lone copy of the program, nothing beside it: one line saying where it looked.
mkdir "$work/lonely"
cp "$top/thornwake" "$work/lonely/"
set +e
(cd / && "$work/lonely/thornwake" --capture "$work/none" --to 1) > "$work/log" 2>&1; rc=$?
set -e
[ $rc -eq 1 ] && [ "$(wc -l < "$work/log")" -eq 1 ] && grep -q "looked in $work/lonely/data (beside the program)" "$work/log" ||
  fail "lone program gave $rc: $(cat "$work/log")"
out=$(cd / && THORNWAKE_DATA="$top/data" "$work/lonely/thornwake" --version)
grep -qx "data $want in $top/data (\$THORNWAKE_DATA)" <<< "$out" || fail "THORNWAKE_DATA ignored: $out"
echo "packages: ok"
