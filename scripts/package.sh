#!/usr/bin/env bash
# The Windows release: builds every plug-in of the list (Stats.dll, ARRL RTTY Roundup; StatsCQWW.dll, CQ WW RTTY;
# StatsWPX.dll, CQ WPX RTTY),
# stats-replay.exe and stats-check.exe (mingw-w64, Release) and puts them, the country
# file, the super-check-partial list with their notice, README.txt for the operator and SHA256SUMS into
# dist/Stats-<version>-win32.zip, under the folder Stats-<version>-win32. The version is the one in
# CMakeLists.txt.
#
#   scripts/package.sh [--build-dir DIR] [--dist DIR] [--allow-dirty]
#
# --build-dir  the win32 build folder (default build/win32; configured here as a Release build when new)
# --dist       where the zip goes (default dist)
# --allow-dirty  package a tree with uncommitted changes (never for a release)
#
# The same commit gives the same zip, byte for byte, wherever and whenever it is built: the binaries carry no
# time stamp and no build folder (CMakeLists.txt), and every entry of the zip carries the commit's time
# (SOURCE_DATE_EPOCH when set, else the commit's), in a fixed order with fixed attributes.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$src/build/win32
dist=$src/dist
allow_dirty=0
while [ $# -gt 0 ]; do
  case $1 in
    --build-dir) build=$(realpath -m "$2"); shift 2 ;;
    --dist) dist=$(realpath -m "$2"); shift 2 ;;
    --allow-dirty) allow_dirty=1; shift ;;
    *) echo "usage: scripts/package.sh [--build-dir DIR] [--dist DIR] [--allow-dirty]" >&2; exit 2 ;;
  esac
done
say() { echo "package: $*"; }
fail() { echo "package: $*" >&2; exit 1; }

if git -C "$src" rev-parse --git-dir >/dev/null 2>&1; then
  if [ -n "$(git -C "$src" status --porcelain --untracked-files=normal)" ]; then
    [ $allow_dirty -eq 1 ] || fail "the tree has uncommitted changes: commit them (or --allow-dirty for a trial)"
    say "the tree has uncommitted changes: this zip is a trial, not a release"
  fi
  export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$src" log -1 --format=%ct)}
fi
[ -n "${SOURCE_DATE_EPOCH:-}" ] || fail "no git history here: set SOURCE_DATE_EPOCH to the commit's time"

data=/usr/share/hamradio-files
notice=/usr/share/doc/hamradio-files/copyright
for f in "$data/cty.dat" "$data/MASTER.SCP" "$notice"; do
  [ -f "$f" ] || fail "$f is missing: scripts/setup.sh installs the package hamradio-files"
done

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
grep -q '^CMAKE_BUILD_TYPE:[A-Z]*=Release$' "$build/CMakeCache.txt" || fail "$build is not a Release build"
grep -q '^CMAKE_TOOLCHAIN_FILE:.*/toolchain-mingw-i686.cmake$' "$build/CMakeCache.txt" || fail "$build is not a win32 build"
cmake --build "$build" -j2 --target stats_plugins stats-replay stats-check
# Every plug-in of the list (src/contest/plugins.cmake), as the build names them.
mapfile -t plugins < "$build/plugins.txt"
[ ${#plugins[@]} -gt 0 ] || fail "no plug-in in $build/plugins.txt"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"

name=Stats-$version-win32
stage=$build/package/$name
rm -rf "$build/package"
mkdir -p "$stage" "$dist"
for plugin in "${plugins[@]}"; do cp "$build/bin/$plugin.dll" "$stage/"; done
cp "$build/bin/stats-replay.exe" "$build/bin/stats-check.exe" "$stage/"
cp "$data/cty.dat" "$data/MASTER.SCP" "$stage/"
cp "$notice" "$stage/hamradio-files-copyright.txt"

# README.txt in Windows line ends, with the version and the editions of the data files filled in.
cty_edition=$(grep -o '=VER[0-9]\{8\}' "$data/cty.dat" | head -n 1 | sed 's/=VER\(....\)\(..\)\(..\)/\1-\2-\3/')
scp_release=$(sed -n 's/^# *\(Release .*\)$/\1/p' "$data/MASTER.SCP" | head -n 1)
hamradio_version=$(dpkg-query -W -f='${Version}' hamradio-files 2>/dev/null || echo "(version unknown)")
sed -e "s|@VERSION@|$version|g" -e "s|@CTY_EDITION@|${cty_edition:-unknown}|g" \
    -e "s|@SCP_RELEASE@|${scp_release:-release unknown}|g" -e "s|@HAMRADIO_FILES_VERSION@|$hamradio_version|g" \
    "$src/docs/README-windows.txt" | sed 's/$/\r/' > "$stage/README.txt"
grep -q '@[A-Z_]*@' "$stage/README.txt" && fail "README.txt keeps a placeholder"

sums=$(cd "$stage" && LC_ALL=C ls | xargs sha256sum)
printf '%s\n' "$sums" > "$stage/SHA256SUMS"

zip=$dist/$name.zip
python3 - "$build/package" "$name" "$zip" <<'EOF'
# Entries in a fixed order (the folder, then its files by name), each with the commit's time and the same
# attributes, compressed at one fixed level: the bytes depend on the files alone.
import os, sys, time, zipfile
root, name, out = sys.argv[1:4]
stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]  # zip times start in 1980
def entry(arcname, attributes):
    info = zipfile.ZipInfo(arcname, date_time=stamp)
    info.create_system = 0          # MS-DOS attributes, as Windows' own zip folders write them
    info.external_attr = attributes
    info.compress_type = zipfile.ZIP_DEFLATED
    return info
with zipfile.ZipFile(out + ".part", "w") as z:
    z.writestr(entry(name + "/", 0x10), b"")
    for f in sorted(os.listdir(os.path.join(root, name))):
        with open(os.path.join(root, name, f), "rb") as data:
            z.writestr(entry(name + "/" + f, 0x20), data.read(), compresslevel=9)
os.replace(out + ".part", out)
EOF
(cd "$dist" && sha256sum "$name.zip" > "$name.zip.sha256")
say "$zip"
cat "$dist/$name.zip.sha256"
