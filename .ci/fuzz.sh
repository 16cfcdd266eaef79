#!/usr/bin/env bash
# Fuzzing: builds the libFuzzer target with clang++, replays the corpus and the transcripts'
# inputs, then fuzzes whole dialogues for about two minutes. Any crash, leak, timeout, memory
# blow-up or sanitizer report fails the script; new corpus entries stay in a temporary directory.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-120}
. .ci/fuzz-lib.sh

mkdir "$work/corpus"
cp -- fuzz/corpus/* "$work/seeds/"

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
print_fuzz_figures "$work/fuzz.log"
echo "== fuzzing found no fault"
