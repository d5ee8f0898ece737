#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang (ASan + UBSan) in a build
# folder of their own and runs each for SECONDS seconds (default 30) from
# the seeds in fuzz/corpus. Exits non-zero when a target crashes; the
# crashing input is left in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
build=build-fuzz
compiler=${PELORIN_FUZZ_CXX:-clang++-14}

if ! command -v "$compiler" >/dev/null 2>&1; then
  echo "fuzz: $compiler not found; install clang-14 and libclang-rt-14-dev" >&2
  exit 1
fi

cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

mkdir -p "$build/artifacts"
# Leaks inside system libraries we cannot mend (fuzz/lsan.supp says which).
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
failed=()
for target in "$build"/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  area=${name#fuzz_}
  # The fuzzer adds what it finds to the first folder: keep that one in the
  # build folder so the seeds in the tree stay as committed.
  work="$build/corpus/$area"
  mkdir -p "$work"
  seeds=()
  [ -d "fuzz/corpus/$area" ] && seeds=("fuzz/corpus/$area")
  echo "fuzz: $name for ${seconds}s"
  if ! "$target" "$work" "${seeds[@]}" -dict=fuzz/xml.dict -max_total_time="$seconds" \
      -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=0 \
      -artifact_prefix="$build/artifacts/$name-" >"$build/$name.log" 2>&1; then
    echo "fuzz: $name FAILED; see $build/$name.log" >&2
    tail -n 40 "$build/$name.log" >&2
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: crashes in ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: every target ran ${seconds}s without a crash"
