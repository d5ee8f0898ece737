#!/usr/bin/env bash
# The whole way through the add-in's windows inside the stand-in Excel,
# against pelorin-provider: log in by typing into the login dialog, write a
# template, pick the rows, send, read the status window; the service stored
# exactly the merged rows of the worksheet. Then a multiple range, a service
# that drops the third packet, 10,000 rows, and the other dialogs.
# Run by wine_run.sh (registration mode), which starts the provider.
set -euo pipefail

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
PELORIN_DATA=$(winepath -w "$tests/data")
export PELORIN_DATA

run_script() {
  echo "== $1"
  wine "$build/tests/excel/excel-standin.exe" "$(winepath -w "$tests/scripts/forms/$1.script")" ||
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
exit $((failures > 0))
