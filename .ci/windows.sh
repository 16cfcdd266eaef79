#!/usr/bin/env bash
# The Windows build and the packages: installs the cross compiler, wine and lintian when missing,
# builds the windows preset with warnings as errors, runs its transcripts and its console test
# under wine, makes the .zip and the .deb, runs the program from each package and lintian on the
# .deb.
set -euo pipefail
cd "$(dirname "$0")/.."

wine=/usr/lib/wine/wine64
. .ci/lib.sh
need_command x86_64-w64-mingw32-g++ g++-mingw-w64-x86-64
need_command "$wine" wine64
need_command iconv libc-bin
need_command lintian lintian
# The console test is a program of this machine, built with its compiler and GoogleTest.
need_command g++ g++
need_file /usr/include/gtest/gtest.h libgtest-dev
install_needed --no-install-recommends

echo "== Windows build (mingw-w64) and its transcripts under wine"
cmake --preset windows -DCALCULATOR_WERROR=ON
cmake --build --preset windows
# Wine itself now and then fails to start a program (exit status 1 within milliseconds, when
# its server is ending just as the next test starts, or an "Unhandled page fault" in its own
# code); a transcript that fails twice in a row is a real failure.
ctest --preset windows --repeat until-pass:2
# The list is read whole first: grep -q would stop reading it, and ctest's broken pipe would
# fail the pipeline.
registered=$(ctest --preset windows -N)
grep -q 'windows.console_session' <<<"$registered" ||
  { echo "the Windows console test was not registered" >&2; exit 1; }

echo "== the .zip for Windows"
(cd build-windows && cpack)
zip=build-windows/calculator-1.0-win64.zip
cmake -E tar tf "$zip" | grep -qx 'calculator-1.0-win64/bin/calculator.exe'
# The packaged program is the tested one, stripped: it must still give a transcript's output.
rm -rf build-windows/zip-check
mkdir build-windows/zip-check
(cd build-windows/zip-check && cmake -E tar xf "../calculator-1.0-win64.zip")
env LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 WINEDEBUG=-all WINEPREFIX="$PWD/build-windows/wine-prefix" \
  WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=d \
  "$wine" "$PWD/build-windows/zip-check/calculator-1.0-win64/bin/calculator.exe" \
  <tests/transcripts/dialogue.in >build-windows/zip-check/dialogue.actual
cmp build-windows/tests/transcripts/dialogue.expected build-windows/zip-check/dialogue.actual

echo "== the .deb for Linux"
# From the release build in build-test/, which .ci/run has built and tested by now; run alone,
# this script builds it first.
release=${CALCULATOR_RELEASE_BUILD:-build-test}
[ -f "$release/CMakeCache.txt" ] ||
  cmake -S . -B "$release" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCALCULATOR_WERROR=ON
cmake --build "$release" -j2
cpack --config "$release/CPackConfig.cmake" -B "$release/packages"
deb=$(echo "$release"/packages/calculator_*.deb)
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
# The line editor's library is a dependency of the package.
dpkg-deb --field "$deb" Depends | grep -q 'libedit2'
root="$release/packages/root"
rm -rf "$root"
dpkg -x "$deb" "$root"
for file in usr/share/man/man1/calculator.1.gz usr/share/doc/calculator/changelog.gz \
  usr/share/doc/calculator/copyright; do
  [ -f "$root/$file" ] || { echo "the .deb lacks /$file" >&2; exit 1; }
done
# Debian's own checks of a package: no error and no warning may remain.
lintian --info --fail-on error,warning "$deb"
"$root/usr/bin/calculator" <tests/transcripts/dialogue.in >"$root/dialogue.actual"
cmp tests/transcripts/dialogue.out "$root/dialogue.actual"

echo "== Windows build and packages: all checks passed"
