#!/usr/bin/env bash
# The program on other CPUs that Debian supports: installs the cross compilers and qemu-user when
# missing, builds the cross presets (arm64, s390x, i386) with warnings as errors and runs every
# transcript under qemu-user against the same expected files as the native build.
# CROSS_ARCHES="arm64 i386" bash .ci/cross.sh runs some of them.
set -euo pipefail
cd "$(dirname "$0")/.."

arches=${CROSS_ARCHES:-arm64 s390x i386}
declare -A compiler=([arm64]=aarch64-linux-gnu-g++ [s390x]=s390x-linux-gnu-g++ [i386]=i686-linux-gnu-g++)
declare -A qemu=([arm64]=qemu-aarch64 [s390x]=qemu-s390x [i386]=qemu-i386)

. .ci/lib.sh
for arch in $arches; do
  if [ -z "${compiler[$arch]:-}" ]; then
    echo "unknown architecture $arch (known: ${!compiler[*]})" >&2
    exit 2
  fi
  need_command "${compiler[$arch]}" "g++-${compiler[$arch]%-g++}"
  need_command "${qemu[$arch]}" qemu-user
done
install_needed --no-install-recommends

# Every architecture is tried, so that one run shows all that differ.
failed=()
for arch in $arches; do
  echo "== $arch: cross build and transcripts under ${qemu[$arch]}"
  start=$SECONDS
  if cmake --preset "cross-$arch" -DCALCULATOR_WERROR=ON &&
    cmake --build --preset "cross-$arch" &&
    ctest --preset "cross-$arch"; then
    echo "== $arch: passed in $((SECONDS - start)) s"
  else
    echo "== $arch: FAILED"
    failed+=("$arch")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "== cross builds failed: ${failed[*]}"
  exit 1
fi
echo "== cross builds: all passed"
