#!/usr/bin/env bash
# Longer fuzzing that keeps what it finds: fuzzes whole dialogues from fuzz/corpus and the
# transcripts' inputs for FUZZ_SECONDS (15 minutes unless told), then merges the corpus and the
# new inputs into the smallest set that covers the same edges (libFuzzer's -merge=1), which
# replaces fuzz/corpus's files named by their SHA-1; the named seeds stay. Commit fuzz/corpus
# afterwards: the next run, CI's included, starts where this one stopped, and the README's test
# command replays every file.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-900}
jobs=${FUZZ_JOBS:-1}
. .ci/fuzz-lib.sh

mkdir "$work/new" "$work/merged"
options=(-dict=fuzz/calculator.dict -timeout=10 -rss_limit_mb=2048 -max_len=2048
  -artifact_prefix="$work/artifacts/")

echo "== fuzzing for ${seconds} s from $(ls fuzz/corpus | wc -l) corpus files, ${jobs} job(s)"
# New inputs go to the first directory; the corpus and the seeds only feed the fuzzer.
if [ "$jobs" -gt 1 ]; then
  "$fuzzer" "$work/new" fuzz/corpus "$work/seeds" "${options[@]}" -max_total_time="$seconds" \
    -jobs="$jobs" -workers="$jobs" -print_final_stats=1 >"$work/fuzz.log" 2>&1 ||
    { cat fuzz-*.log >>"$work/fuzz.log" 2>/dev/null; rm -f fuzz-*.log; report_failure "$work/fuzz.log"; }
  cat fuzz-*.log >>"$work/fuzz.log"
  rm -f fuzz-*.log
else
  "$fuzzer" "$work/new" fuzz/corpus "$work/seeds" "${options[@]}" -max_total_time="$seconds" \
    -print_final_stats=1 >"$work/fuzz.log" 2>&1 || report_failure "$work/fuzz.log"
fi
print_fuzz_figures "$work/fuzz.log"

echo "== merging $(ls "$work/new" | wc -l) new inputs into fuzz/corpus"
# The smallest set that reaches every edge that the corpus and the new inputs reach; with
# FUZZ_MERGE_COUNTERS=1 every hit-count feature too, which keeps some four times the files.
"$fuzzer" -merge=1 -use_counters="${FUZZ_MERGE_COUNTERS:-0}" "$work/merged" fuzz/corpus \
  "$work/new" "${options[@]}" >"$work/merge.log" 2>&1 || report_failure "$work/merge.log"
grep -E '^MERGE-OUTER: [0-9]+ new files' "$work/merge.log" || true
# The merged files are named by the SHA-1 of their bytes; a named seed stays under its name
# and is not kept twice.
for seed in fuzz/corpus/*; do
  name=$(basename "$seed")
  [[ "$name" =~ ^[0-9a-f]{40}$ ]] && continue
  rm -f "$work/merged/$(sha1sum "$seed" | cut -d' ' -f1)"
done
find fuzz/corpus -maxdepth 1 -type f -regextype posix-extended -regex '.*/[0-9a-f]{40}' -delete
cp -- "$work"/merged/* fuzz/corpus/ 2>/dev/null || true
echo "== fuzz/corpus holds $(ls fuzz/corpus | wc -l) files; commit them"
