#!/usr/bin/env bash
# Times the .xls reader beside the .xlsx reader on the same 65,536 rows (the
# most an .xls sheet holds) of 3 columns: bench/make_bench_xlsx.py writes the
# .xlsx, LibreOffice converts it to .xls. bench/workbook_read reads each into
# the column store (--store) and writes every cell out as text; the .xlsx is
# also timed streamed. Checks first that both give the same text. See
# bench/README.md.
#
# Usage: bench/xls_bench.sh [RUNS]
# PELORIN_BENCH_BUILD names the Release build folder (default build-release).
set -euo pipefail
cd "$(dirname "$0")/.."

rows=65536
runs=${1:-10}
python=/usr/bin/python3
data=${PELORIN_BENCH_DATA:-${TMPDIR:-/tmp}/pelorin-xls-bench}
mkdir -p "$data"

build=${PELORIN_BENCH_BUILD:-build-release}
echo "== building workbook_read (Release, $build)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target workbook_read -j 2 >/dev/null
reader=$PWD/$build/bench/workbook_read

xlsx=$data/contacts-$rows.xlsx
xls=$data/contacts-$rows.xls
if [ ! -s "$xlsx" ]; then
  echo "== writing $rows rows with xlsxwriter"
  "$python" bench/make_bench_xlsx.py "$rows" "$data/contacts-$rows-inline.xlsx" "$xlsx"
fi
if [ ! -s "$xls" ]; then
  echo "== converting to .xls with LibreOffice"
  # LibreOffice runs as an ordinary user with a profile of its own.
  as_user=()
  if [ "$(id -u)" -eq 0 ]; then
    chmod 777 "$data"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$data")
  fi
  "${as_user[@]}" timeout 600 soffice -env:UserInstallation="file://$data/profile" --headless \
    --norestore --convert-to xls --outdir "$data" "$xlsx" >/dev/null 2>&1
fi
ls -l "$xlsx" "$xls"

echo "== the same text from both"
"$reader" "$xlsx" --store >"$data/xlsx.txt"
"$reader" "$xls" --store >"$data/xls.txt"
if cmp -s "$data/xlsx.txt" "$data/xls.txt"; then
  echo "identical: $(wc -l <"$data/xls.txt") rows, $(wc -c <"$data/xls.txt") bytes"
else
  echo "the texts differ:" >&2
  diff "$data/xlsx.txt" "$data/xls.txt" | head -n 10 >&2
  exit 1
fi

commands=("$reader $xls --store" "$reader $xlsx --store" "$reader $xlsx")
if command -v hyperfine >/dev/null; then
  hyperfine --warmup 2 --runs "$runs" --style basic --export-markdown "$data/xls.md" "${commands[@]}"
fi
for command in "${commands[@]}"; do
  /usr/bin/time -f "%e s wall  %M KB peak  $command" sh -c "exec $command >/dev/null" 2>&1 | tail -n 1
done
