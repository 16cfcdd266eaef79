#!/usr/bin/env bash
# Feeds the calculator input that no person types (endless words, NUL bytes, a name of 100 MB,
# random bytes without the "q" that would end the program early) without a memory limit and
# under two address-space limits: it must end with status 0 and nothing on standard error
# whenever its input ends, and stay under 8 MiB of resident memory however long it reads. Then
# output that nobody reads any more, and output to a full disk.
#
#   hostile_input.sh PROGRAM          # bounded inputs only, a few seconds (a CTest test)
#   hostile_input.sh PROGRAM --long   # also 60 s of /dev/zero and /dev/urandom, and 1 GB words
#   SECONDS_OF_READING=10 hostile_input.sh PROGRAM --long
set -uo pipefail
program=$1
long=${2:-}
seconds=${SECONDS_OF_READING:-60}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
limit_kib=8192
# Peak memory is measured where GNU time is installed; the address-space limits hold anyway.
measure=()
[ -x /usr/bin/time ] && measure=(/usr/bin/time -f 'peak %M' -o "$work/rss")

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# run NAME LIMIT EXPECTED_STATUS COMMAND...: runs COMMAND (which feeds the program) under the
# address-space limit (none: unlimited), checking the status, standard error and peak memory.
run() {
  local name=$1 limit=$2 expected=$3
  shift 3
  (
    [ "$limit" = none ] || ulimit -v "$limit"
    "$@" 2>"$work/err" >/dev/null
    echo $? >"$work/status"
  )
  local status rss
  status=$(cat "$work/status")
  rss=$(sed -n 's/^peak //p' "$work/rss" 2>/dev/null | tail -n 1)
  [ "$status" = "$expected" ] || fail "$name under $limit: status $status, not $expected"
  [ ! -s "$work/err" ] || fail "$name under $limit: standard error: $(head -c 300 "$work/err")"
  [ -z "$rss" ] || [ "$rss" -lt "$limit_kib" ] || fail "$name under $limit: peak RSS $rss KiB"
  echo "$name, limit $limit: status $status, peak RSS ${rss:-?} KiB"
}

# The program on standard input from the named command's output, its peak RSS noted.
fed() {
  local feed=$1
  rm -f "$work/rss"
  bash -c "$feed" | "${measure[@]}" "$program"
  return "${PIPESTATUS[1]}"
}

# Ends after the seconds given, as a person at the end of their patience would.
fed_for() {
  local feed=$1
  rm -f "$work/rss"
  bash -c "$feed" | "${measure[@]}" timeout "$seconds" "$program"
  return "${PIPESTATUS[1]}"
}

for limit in none 300000 16384; do
  run "10 MB of NUL bytes" "$limit" 0 fed "head -c 10000000 /dev/zero"
  run "10 MB of random bytes" "$limit" 0 fed "head -c 10000000 /dev/urandom | tr -d q"
  run "a name of 10 MB" "$limit" 0 fed "head -c 10000000 /dev/zero | tr '\\0' x; printf '=1 ?=2 l q\\n'"
  if [ "$long" = --long ]; then
    run "/dev/zero for $seconds s" "$limit" 124 fed_for "cat /dev/zero"
    run "/dev/urandom for $seconds s" "$limit" 124 fed_for "tr -d q < /dev/urandom"
    run "a word of 1 GB" "$limit" 0 fed "head -c 1000000000 /dev/zero | tr '\\0' 7; printf ' q\\n'"
    run "a name of 100 MB" "$limit" 0 fed "head -c 100000000 /dev/zero | tr '\\0' x; printf '=1 ?=2 l q\\n'"
  fi
done
# A reader of the output that has gone: the program ends at once with status 0, computing no more
# and waiting for no key (the input here never ends, so a program that waited would be timed out,
# with status 124); a full disk leaves it going to the end of its input.
gone() {
  rm -f "$work/rss"
  timeout 30 "$program" < <(exec bash -c "$1") | true
  return "${PIPESTATUS[0]}"
}
run "output whose reader has gone, input not yet there" none 0 gone "sleep 60"
run "output whose reader has gone, endless input" none 0 gone "yes '?=1+2'"
# Typed at a terminal, with the output's reader gone once it has read the first prompt: after
# "q" the program ends at once with status 0 and waits for no final key. One that waited would
# outlive the typing, which goes on for three seconds more (status 124 here).
gone_at_the_final_key() {
  rm -f "$work/rss" "$work/ended" "$work/typed"
  local prompted=$(($(printf '' | "$program" | wc -c) - 11))  # all but "Press Enter"
  printf '%s\n' "'$program' | head -c $prompted >/dev/null" 'echo "${PIPESTATUS[0]}" > "$1"' \
    >"$work/job"
  timeout 30 script -qec "bash '$work/job' '$work/ended'" /dev/null \
    < <(exec bash -c "sleep 1; printf 'q\\n'; sleep 3; touch '$work/typed'") >/dev/null
  [ ! -e "$work/typed" ] || return 124
  return "$(cat "$work/ended")"
}
run "output whose reader has gone, typed at a terminal" none 0 gone_at_the_final_key
full() {
  rm -f "$work/rss"
  printf 'h\n?=1\nq\n' | "$program" >/dev/full
  return "${PIPESTATUS[1]}"
}
run "output to a full disk" none 0 full

[ "$failures" -eq 0 ] && echo "every hostile input ended as it should"
exit $((failures > 0))
