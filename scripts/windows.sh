#!/usr/bin/env bash
# Cross-builds the library, the logic, corvane and vantor-cli for 64-bit Windows
# with mingw-w64 and runs their tests under Wine. Everything it makes stays in
# build/mingw: the sysroot (GoogleTest, zlib and nlohmann-json for the target),
# the Wine prefix and the build itself.
# Usage: scripts/windows.sh [--no-test] [LINUX_VANTOR_CLI]
# With a Linux vantor-cli (default: build/nogui's or build/dev's, when built),
# Check All Stock of the demo is compared between the two systems.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh windows

root=$PWD
build=$root/build/mingw
sysroot=$build/sysroot
toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)
mkdir -p "$sysroot"

# GoogleTest from Debian's sources, built with the same compiler.
if [ ! -f "$sysroot/lib/cmake/GTest/GTestConfig.cmake" ]; then
  echo "== GoogleTest for Windows"
  cmake -S /usr/src/googletest -B "$build/googletest" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DVANTOR_MINGW_SYSROOT="$sysroot" \
    -DCMAKE_INSTALL_PREFIX="$sysroot" -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$build/googletest" -j "$jobs"
  cmake --install "$build/googletest" >/dev/null
fi

# zlib: Debian ships no build of it for mingw, so it is built from Debian's
# source package (fetched with apt-get source through a list of our own, which
# leaves the machine's apt configuration alone) as a static library.
if [ ! -f "$sysroot/lib/libz.a" ]; then
  echo "== zlib for Windows"
  apt=$build/apt
  mkdir -p "$apt/lists/partial" "$apt/cache" "$build/zlib"
  echo "deb-src http://deb.debian.org/debian bookworm main" >"$apt/sources.list"
  aptopts=(-o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent
           -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" -o APT::Sandbox::User=root)
  apt-get "${aptopts[@]}" update -qq
  (cd "$build/zlib" && apt-get "${aptopts[@]}" source --download-only -qq zlib)
  tarball=$(ls "$build"/zlib/zlib_*.orig.tar.* | head -n 1)
  rm -rf "$build/zlib/src" && mkdir -p "$build/zlib/src"
  tar -xf "$tarball" -C "$build/zlib/src" --strip-components=1
  objects=()
  for c in adler32 compress crc32 deflate infback inffast inflate inftrees trees uncompr zutil; do
    x86_64-w64-mingw32-gcc-posix -O2 -c "$build/zlib/src/$c.c" -o "$build/zlib/$c.o"
    objects+=("$build/zlib/$c.o")
  done
  mkdir -p "$sysroot/include" "$sysroot/lib"
  x86_64-w64-mingw32-ar rcs "$sysroot/lib/libz.a" "${objects[@]}"
  cp "$build/zlib/src/zlib.h" "$build/zlib/src/zconf.h" "$sysroot/include/"
fi

# nlohmann-json is headers only: a copy keeps the host's /usr/include out of the build.
if [ ! -d "$sysroot/include/nlohmann" ]; then
  mkdir -p "$sysroot/include" "$sysroot/share/cmake"
  cp -r /usr/include/nlohmann "$sysroot/include/"
  cp -r /usr/share/cmake/nlohmann_json "$sysroot/share/cmake/"
fi

# Wine: a prefix of our own, its server started before the build (the test
# discovery runs the test programs) and stopped at the end, so that no Wine
# process outlives the script and holds ctest's output pipe open.
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver -p 2>/dev/null || true  # already running for this prefix: fine
trap 'wineserver -k 2>/dev/null || true' EXIT
wineboot -i >/dev/null 2>&1 || true

echo "== Cross-build for Windows"
cmake --preset mingw -DVANTOR_WERROR=ON >/dev/null
cmake --build --preset mingw

if [ "${1:-}" = "--no-test" ]; then
  exit 0
fi
echo "== Tests under Wine"
ctest --preset mingw

# Check All Stock of the demo as JSON must be the same on both systems but for
# the installation folder's spelling and the line ends.
linux_cli=${1:-}
for candidate in build/nogui/bin/vantor-cli build/dev/bin/vantor-cli; do
  if [ -z "$linux_cli" ] && [ -x "$candidate" ]; then linux_cli=$candidate; fi
done
if [ -n "$linux_cli" ]; then
  echo "== Check All Stock of the demo: Windows against Linux"
  demo=$root/demo
  windows_demo="Z:${demo//\//\\}"
  "$linux_cli" --msts "$demo" --json check all-stock >"$build/all-stock-linux.json" || true
  wine "$build/bin/vantor-cli.exe" --msts "$windows_demo" --json check all-stock \
    >"$build/all-stock-windows.json" || true
  json_root=${windows_demo//\\/\\\\}
  sed "s|$demo|DEMO|g" "$build/all-stock-linux.json" >"$build/all-stock-linux.norm"
  tr -d '\r' <"$build/all-stock-windows.json" | sed "s|${json_root//\\/\\\\}|DEMO|g" \
    >"$build/all-stock-windows.norm"
  if ! [ -s "$build/all-stock-linux.norm" ] ||
     ! diff -u "$build/all-stock-linux.norm" "$build/all-stock-windows.norm"; then
    echo "Check All Stock differs between Linux and Windows" >&2
    exit 1
  fi
  echo "The same $(grep -c '"code"' "$build/all-stock-linux.norm") findings on both systems"
fi
