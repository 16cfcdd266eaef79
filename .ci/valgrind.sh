#!/usr/bin/env bash
# Memory check: runs every transcript through the tested release build's program under valgrind's
# memcheck. An invalid access, a use of uninitialised memory, any leak, an exit status other
# than 0, a byte on standard error or a difference from the expected output fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."

program=${CALCULATOR_PROGRAM:-build-test/calculator}
. .ci/lib.sh
need_command valgrind valgrind
install_needed
if [ ! -x "$program" ]; then
  echo "no program at $program: build it first (cmake --workflow --preset test)" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
for input in tests/transcripts/*.in; do
  name=$(basename "$input" .in)
  status=0
  valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --show-leak-kinds=all \
    --errors-for-leak-kinds=all --track-origins=yes --log-file="$work/$name.valgrind" \
    "$program" <"$input" >"$work/$name.actual" 2>"$work/$name.stderr" || status=$?
  problem=""
  if [ "$status" -eq 99 ]; then
    problem="memcheck found errors"
  elif [ "$status" -ne 0 ]; then
    problem="exit status $status"
  elif [ -s "$work/$name.stderr" ]; then
    problem="standard error was written"
  elif ! cmp -s "tests/transcripts/$name.out" "$work/$name.actual"; then
    problem="output differs from tests/transcripts/$name.out"
  fi
  if [ -z "$problem" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL $name: $problem"
    cat "$work/$name.valgrind" "$work/$name.stderr"
  fi
done
echo "valgrind: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
