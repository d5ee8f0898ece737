#!/usr/bin/env bash
# Times xlsx readers side by side on one generated workbook of ROWS rows
# (default 1,000,000) and 3 columns: Pelorin's reader (bench/workbook_read,
# streaming and through the column store), Debian's xlsx2csv, openpyxl in
# read-only mode and SheetJS. Each one reads every cell of the sheet and
# writes it out as text (thrown away), so all of them do the same work. The
# floor, bench/inflate_floor, only inflates the sheet's XML. See
# bench/README.md.
#
# Usage: bench/workbook_bench.sh [ROWS] [RUNS]
# PELORIN_BENCH_BUILD names the Release build folder (default build-release).
set -euo pipefail
cd "$(dirname "$0")/.."

rows=${1:-1000000}
runs=${2:-3}
python=/usr/bin/python3
data=${PELORIN_BENCH_DATA:-${TMPDIR:-/tmp}/pelorin-workbook-bench}
mkdir -p "$data"

build=${PELORIN_BENCH_BUILD:-build-release}
echo "== building workbook_read and inflate_floor (Release, $build)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target workbook_read inflate_floor -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
reader=$PWD/$build/bench/workbook_read
floor=$PWD/$build/bench/inflate_floor

inline=$data/contacts-$rows-inline.xlsx
shared=$data/contacts-$rows-shared.xlsx
if [ ! -s "$shared" ] || [ ! -s "$inline" ]; then
  echo "== writing $rows rows with xlsxwriter (constant_memory)"
  "$python" bench/make_bench_xlsx.py "$rows" "$inline" "$shared"
fi
ls -l "$inline" "$shared"

# openpyxl, read-only: every row's values as text, tab-separated.
cat >"$data/openpyxl_read.py" <<'PY'
import sys
import openpyxl
book = openpyxl.load_workbook(sys.argv[1], read_only=True, data_only=True)
out = sys.stdout
for row in book.active.iter_rows(values_only=True):
    out.write("\t".join("" if v is None else str(v) for v in row) + "\n")
PY

# SheetJS from the npm registry, into the data folder; skipped when npm
# cannot install it.
sheetjs=()
if command -v node >/dev/null && command -v npm >/dev/null; then
  if [ ! -d "$data/sheetjs/node_modules/xlsx" ]; then
    mkdir -p "$data/sheetjs"
    (cd "$data/sheetjs" && npm install --silent --no-audit --no-fund xlsx >/dev/null 2>&1) || true
  fi
  if [ -d "$data/sheetjs/node_modules/xlsx" ]; then
    cat >"$data/sheetjs/read.js" <<'JS'
const XLSX = require("xlsx");
const book = XLSX.readFile(process.argv[2], { dense: true });
const sheet = book.Sheets[book.SheetNames[0]];
process.stdout.write(XLSX.utils.sheet_to_csv(sheet, { FS: "\t", rawNumbers: true }));
JS
    sheetjs=(node "$data/sheetjs/read.js")
  fi
fi
if [ ${#sheetjs[@]} -eq 0 ]; then echo "== SheetJS unavailable (no node/npm or no registry): skipped"; fi

# The same first rows from every reader, before anything is timed.
echo "== first rows of each reader"
# (head closes the pipe early, so a reader's complaint about it is ignored.)
first_rows() { "$@" 2>/dev/null | head -n 2 || true; }
first_rows "$reader" "$shared"
first_rows "$reader" "$shared" --store
first_rows xlsx2csv -d tab "$shared"
first_rows "$python" "$data/openpyxl_read.py" "$shared"
if [ ${#sheetjs[@]} -gt 0 ]; then first_rows "${sheetjs[@]}" "$shared"; fi

for file in "$shared" "$inline"; do
  echo "== $(basename "$file")"
  commands=("$floor $file" "$reader $file" "$reader $file --store" "xlsx2csv -d tab $file"
            "$python $data/openpyxl_read.py $file")
  if [ ${#sheetjs[@]} -gt 0 ]; then commands+=("${sheetjs[*]} $file"); fi
  if command -v hyperfine >/dev/null; then
    json=$data/$(basename "$file").json
    hyperfine --warmup 1 --runs "$runs" --style basic --export-markdown "$data/$(basename "$file").md" \
      --export-json "$json" "${commands[@]}"
    # Medians, and each against ours (streaming) and against the floor.
    "$python" - "$json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
median = {r["command"]: r["median"] for r in results}
commands = [r["command"] for r in results]
floor, ours = median[commands[0]], median[commands[1]]
print("%-8s %-8s %-9s %s" % ("median s", "/ floor", "ours / it", "command"))
for command in commands:
    m = median[command]
    print("%8.3f %8.2f %9.2f %s" % (m, m / floor, ours / m, command))
PY
  fi
  # Peak memory (and wall time, where hyperfine is missing) from GNU time.
  for command in "${commands[@]}"; do
    /usr/bin/time -f "%e s wall  %M KB peak  $command" sh -c "exec $command >/dev/null" 2>&1 | tail -n 1
  done
done
