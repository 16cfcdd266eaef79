#!/usr/bin/env bash
# Fuzzing: builds the libFuzzer target with clang++, replays the corpus and the transcripts'
# inputs, then fuzzes whole dialogues for about two minutes. Any crash, leak, timeout, memory
# blow-up or sanitizer report fails the script; new corpus entries stay in a temporary directory.
set -euo pipefail
cd "$(dirname "$0")/.."

. .ci/lib.sh
need_command cmake cmake
need_command clang++ clang
need_package libclang-rt-14-dev
# The fuzz preset configures the tests too, which need GoogleTest.
need_file /usr/include/gtest/gtest.h libgtest-dev
install_needed

seconds=${FUZZ_SECONDS:-120}
fuzzer=build-fuzz/fuzz/calculator_fuzzer
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== libFuzzer build (clang++, AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target calculator_fuzzer

# On failure: the end of the fuzzer's log and every input it kept, so that the log alone
# is enough to reproduce the fault (base64 -d the input, then run the fuzzer on it).
report_failure() {
  tail -n 60 "$1"
  for artifact in "$work"/artifacts/*; do
    [ -e "$artifact" ] || continue
    echo "-- $(basename "$artifact") (base64):"
    base64 "$artifact"
  done
  exit 1
}

mkdir "$work/seeds" "$work/corpus" "$work/artifacts"
cp -- fuzz/corpus/* "$work/seeds/"
cp -- tests/transcripts/*.in "$work/seeds/"

echo "== replaying $(ls "$work/seeds" | wc -l) saved inputs"
# Given files rather than directories, libFuzzer runs each once and fuzzes nothing.
"$fuzzer" -artifact_prefix="$work/artifacts/" "$work"/seeds/* >"$work/replay.log" 2>&1 ||
  report_failure "$work/replay.log"

echo "== fuzzing for ${seconds} s"
# The first directory receives what the fuzzer finds; the seeds only feed it. Inputs longer
# than -max_len are cut to it, which leaves room for twenty stored lines and more.
"$fuzzer" "$work/corpus" "$work/seeds" -dict=fuzz/calculator.dict \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=2048 \
  -print_final_stats=1 -artifact_prefix="$work/artifacts/" >"$work/fuzz.log" 2>&1 ||
  report_failure "$work/fuzz.log"
grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::(number_of_executed_units|peak_rss_mb)' "$work/fuzz.log"
echo "== fuzzing found no fault"
