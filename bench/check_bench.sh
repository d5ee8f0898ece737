#!/usr/bin/env bash
# Times the check before a send on a generated workbook of ROWS rows
# (default 1,000,000) × 3 columns, beside the plain read of the same file:
# bench/check_bench reports each stage in rows per second and its peak
# memory. The workbook is the one bench/workbook_bench.sh writes (shared
# strings), kept in $PELORIN_BENCH_DATA. See bench/README.md.
#
# Usage: bench/check_bench.sh [ROWS]
# PELORIN_BENCH_BUILD names the Release build folder (default build-release).
set -euo pipefail
cd "$(dirname "$0")/.."

rows=${1:-1000000}
data=${PELORIN_BENCH_DATA:-${TMPDIR:-/tmp}/pelorin-workbook-bench}
mkdir -p "$data"

build=${PELORIN_BENCH_BUILD:-build-release}
echo "== building check_bench (Release, $build)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release | { grep "libphonenumber:" || true; }
cmake --build "$build" --target check_bench -j 2 >/dev/null
# Debian's libphonenumber beside the RE2 build, when that is linked.
lib_benches=()
if cmake --build "$build" --target libphonenumber_bench_debian libphonenumber_bench_re2 -j 2 \
     >/dev/null 2>&1; then
  lib_benches=("$build/bench/libphonenumber_bench_debian" "$build/bench/libphonenumber_bench_re2")
fi

inline=$data/contacts-$rows-inline.xlsx
shared=$data/contacts-$rows-shared.xlsx
if [ ! -s "$shared" ] || [ ! -s "$inline" ]; then
  echo "== writing $rows rows with xlsxwriter (constant_memory)"
  /usr/bin/python3 bench/make_bench_xlsx.py "$rows" "$inline" "$shared"
fi

echo "== check of $shared"
/usr/bin/time -f "wall %e s, user %U s, peak RSS %M KiB" "$build/bench/check_bench" "$shared" "$rows"

for bench in "${lib_benches[@]}"; do
  echo "== $(basename "$bench"): libphonenumber alone"
  "$bench" "$rows"
done
