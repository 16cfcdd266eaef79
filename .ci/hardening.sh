#!/usr/bin/env bash
# Checks that the release build's program carries the hardening of cmake/hardening.cmake:
# hardening-check (devscripts) for PIE, the stack protector, read-only relocations and immediate
# binding; the disassembly for control-flow protection on
# x86-64; the compile commands for every file's flags, and for stack clash protection, which
# leaves no trace in a program whose every stack frame is under a page.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${CALCULATOR_RELEASE_BUILD:-build-test}
program=$build/calculator
. .ci/lib.sh
need_command hardening-check devscripts
need_command objdump binutils
install_needed --no-install-recommends
if [ ! -x "$program" ] || [ ! -f "$build/compile_commands.json" ]; then
  echo "no release build in $build: build it first (cmake --workflow --preset test)" >&2
  exit 1
fi

failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}

# Debian's C start files carry no IBT/SHSTK property, so the linker never marks the program
# with it; control-flow protection is looked for in the code instead. hardening-check takes a
# program for fortified only when it calls a checked function (__memcpy_chk and the like), which
# a fortified program does only where a size is known at run time alone: the calculator has no
# such call, so the compile commands are looked at for -D_FORTIFY_SOURCE instead (below).
hardening-check --nocfprotection --nofortify "$program" || fail "hardening-check"

if [ "$(uname -m)" = x86_64 ]; then
  first=$(objdump -d --no-show-raw-insn --disassemble=main "$program" |
    awk '/<main>:/ { getline; print $2 }')
  if [ "$first" = endbr64 ]; then
    echo " Control flow protection: yes (main starts with endbr64)"
  else
    fail "main starts with '$first', not endbr64: no -fcf-protection"
  fi
fi

# Every source file of the build is compiled with each flag; the C library's checks need
# optimisation.
for flag in -fstack-clash-protection -fstack-protector-strong -fPIE '-D_FORTIFY_SOURCE=[23]' \
  '-O[23s]'; do
  missing=$(grep '"command"' "$build/compile_commands.json" | grep -c -v -e " $flag " || true)
  if [ "$missing" -eq 0 ]; then
    echo " Compiled with $flag: every file"
  else
    fail "$missing compile commands in $build/compile_commands.json lack $flag"
  fi
done

if [ "$failed" -ne 0 ]; then
  echo "hardening: FAILED"
  exit 1
fi
echo "hardening: every check passed"
