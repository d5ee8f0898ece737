#!/usr/bin/env bash
# The whole way through the add-in's windows inside the stand-in Excel,
# against pelorin-provider: log in by typing into the login dialog, write a
# template, pick the rows, send, read the status window; the service stored
# exactly the merged rows of the worksheet. Then a multiple range, a service
# that drops the third packet, 10,000 rows, and the other dialogs; last, the
# command line's history reads the journal each run left.
# Run by wine_run.sh (registration mode), which starts the provider.
set -euo pipefail
source "$(dirname "$0")/wine_paths.sh"

build=${PELORIN_EXCEL_BUILD:?}
db=$build/wine-test/provider.db
tests=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# An account that chooses its sender ID and has no DND window, so that the
# sends go through at any hour, with credit for them all.
"$PELORIN_PROVIDER" account set --db "$db" --id demo --dnd 50 --senders PELRIN,ALERTS --sender-reply list \
  --credits 100000 >/dev/null
# No proxy and the default packet size, whatever an earlier test left.
for value in vpelorin_proxyip vpelorin_proxyip1 vpelorin_proxyip2 vpelorin_proxyip3 vpelorin_proxyip4 \
             vpelorin_proxyport vPelorin_PackSize; do
  wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion' /v "$value" /f >/dev/null 2>&1 || true
done
PELORIN_DATA=$(windows_path "$tests/data")
export PELORIN_DATA
# The sends' journals, kept where the add-in keeps them; none from before.
local_data=$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
journals=$(unix_path "$local_data\\Pelorin\\runs")
rm -rf "$journals"

run_script() {
  echo "== $1"
  wine "$build/tests/excel/excel-standin.exe" "$(windows_path "$tests/scripts/forms/$1.script")" ||
    fail "$1 did not pass"
}

# Checks the runs the service received since the last check.
seen=0
check_runs() {
  local runs
  "$PELORIN_PROVIDER" runs --db "$db" --json >"$work/runs.json"
  python3 - "$work/runs.json" "$seen" "$1" <<'PY' || fail "$1: the service's runs are not as expected"
import json, sys
runs = json.load(open(sys.argv[1]))[int(sys.argv[2]):]
case = sys.argv[3]

def records(run):
    return [(r["mobile"], r["message"]) for r in run["records"]]

if case == "simple":
    assert len(runs) == 1, runs
    assert records(runs[0]) == [
        ("919876543210", "नमस्ते Asha, order ORD-1 ready"),
        ("919876543211", "नमस्ते रमेश, order ORD-2 ready"),
        ("919876543213", "नमस्ते Omar, order 42 ready"),
    ], records(runs[0])
    assert runs[0]["sid"] == "ALERTS" and runs[0]["closed"], runs[0]
elif case == "multiple":
    # One run, a packet per item.
    assert len(runs) == 1 and runs[0]["closed"], runs
    assert records(runs[0]) == [("919876543210", "Hello Asha"), ("919876543213", "Hello Omar")], runs
elif case == "dropped":
    assert len(runs) == 1 and not runs[0]["closed"], runs
    assert len(runs[0]["records"]) == 2000, len(runs[0]["records"])
elif case == "large":
    # Ten full packets, then the closing empty one.
    assert len(runs) == 1 and runs[0]["closed"], runs[0]["states"]
    assert runs[0]["states"] == ["START"] * 10 + ["END"], runs[0]["states"]
    got = [r["mobile"] for r in runs[0]["records"]]
    want = ["9190000%d" % row for row in range(2, 10002)]
    assert got == want, (len(got), len(set(got)))
    assert runs[0]["records"][-1]["message"] == "Dear Customer 10001, order ORD-10001"
PY
  seen=$(python3 -c 'import json,sys; print(len(json.load(open(sys.argv[1]))))' "$work/runs.json")
}

run_script send_simple_range
check_runs simple
run_script multiple_range
check_runs multiple
curl -fsS "http://$PELORIN_SERVICE/admin/fault?page=Compose&kind=drop&skip=2&count=1" >/dev/null
run_script dropped_packet
curl -fsS "http://$PELORIN_SERVICE/admin/clear" >/dev/null
check_runs dropped
run_script send_10000_rows
check_runs large
run_script dialogs

# Every send journaled its run in the form the command line reads, so its
# history lists them: the workbook and sheet, the rows, the packets the
# service accepted and how each run ended.
mkdir -p "$work/state/pelorin"
ln -s "$journals" "$work/state/pelorin/runs"
XDG_STATE_HOME=$work/state "$PELORIN_CLI" history >"$work/history.txt" || fail "pelorin history failed"
python3 - "$work/history.txt" "$PELORIN_DATA" <<'PY' || fail "the runs' journals are not as expected"
import sys
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
print("\n".join(lines))
contacts = sys.argv[2] + "\\contacts.cells [Sheet1]"
many = sys.argv[2] + "\\many.cells [Sheet1]"
got = sorted(tuple(line.split("\t")[2:]) for line in lines[1:])
expected = sorted([
    (contacts, "4", "1/1", "completed"),      # rows 2 to 5 in one packet
    (contacts, "2", "2/2", "completed"),      # a packet per item of 2-2,5-5
    (many, "5000", "2/5", "unknown"),         # the third packet's reply never came
    (many, "10000", "10/10", "completed"),
])
assert got == expected, got
PY
exit $((failures > 0))
