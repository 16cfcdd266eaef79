# What the two fuzzing scripts share, sourced by them: the packages and the build of the
# libFuzzer target, a work folder removed at exit, and the report of a failure.
# shellcheck shell=bash
. .ci/lib.sh
need_command cmake cmake
need_command clang++ clang
need_package libclang-rt-14-dev
# The fuzz preset configures the tests too, which need GoogleTest.
need_file /usr/include/gtest/gtest.h libgtest-dev
install_needed

fuzzer=build-fuzz/fuzz/calculator_fuzzer
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/seeds" "$work/artifacts"
cp -- tests/transcripts/*.in "$work/seeds/"

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

# The fuzzer's figures at its start and end.
print_fuzz_figures() {
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::(number_of_executed_units|peak_rss_mb)' "$1"
}
