#!/usr/bin/env bash
# The same 10,000-row send (packets of 1,000, template "Dear |A|, order |C|")
# from the send dialog inside the stand-in Excel under Wine, and from the
# command line, each against its own pelorin-provider on 127.0.0.1.
#   bench/excel_send_bench.sh
# Needs the default and windows builds (tools/test.sh makes both).
set -euo pipefail
cd "$(dirname "$0")/.."
provider=$PWD/build/provider/pelorin-provider
cli=$PWD/build/hosts/cli/pelorin
work=$(mktemp -d)
trap 'kill "${serve_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

# Excel: the end-to-end test prints the send's time and its sheet calls.
excel=$(ctest --test-dir build-windows -R 'excel\.(prefix_setup|send_end_to_end|prefix_cleanup)' -V 2>&1 |
  grep -o 'excel-send-10000: .*' | head -1)
echo "stand-in Excel: $excel"

# The command line: the same rows as a CSV file.
python3 - "$work/rows.csv" <<'PY'
import sys
with open(sys.argv[1], "w") as f:
    f.write("Name,Mobile,Order\n")
    for row in range(2, 10002):
        f.write("Customer %d,9190000%d,ORD-%d\n" % (row, row, row))
PY
"$provider" account add --db "$work/p.db" --id demo --password demo-pass --credits 100000 --dnd 50 --senders PELRIN >/dev/null
"$provider" serve --db "$work/p.db" --listen 127.0.0.1:0 --port-file "$work/port" >/dev/null 2>&1 &
serve_pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$cli" host "$(cat "$work/port")" >/dev/null
echo demo-pass | "$cli" login --id demo --password-stdin >/dev/null
start=$(date +%s%N)
"$cli" send "$work/rows.csv" --mobile-column B --message "Dear |A|, order |C|" --ranges 2-10001 --sender PELRIN >/dev/null
end=$(date +%s%N)
echo "command line: milliseconds=$(((end - start) / 1000000))"
