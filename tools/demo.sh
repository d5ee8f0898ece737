#!/usr/bin/env bash
# The main job on a fresh Debian 12 machine: builds Pelorin, starts
# pelorin-provider on 127.0.0.1 with a demo account, points the command line
# at it, logs in, sends the bundled example workbook, prints the status text
# and what the provider received, and stops the provider it started.
#
# PELORIN_DEMO_WORKBOOK picks another workbook (default examples/contacts.xlsx).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

tools/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc 2>/dev/null || echo 2)" --target pelorin pelorin-provider

pelorin="$root/build/hosts/cli/pelorin"
provider="$root/build/provider/pelorin-provider"
workbook="${PELORIN_DEMO_WORKBOOK:-$root/examples/contacts.xlsx}"

# Everything the demo stores stays in a folder of its own.
work=$(mktemp -d -t pelorin-demo.XXXXXX)
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
db="$work/provider.db"

provider_pid=""
cleanup() {
  if [ -n "$provider_pid" ] && kill -0 "$provider_pid" 2>/dev/null; then
    kill -TERM "$provider_pid"
    wait "$provider_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

"$provider" account add --db "$db" --id demo --password demo-pass --credits 500 \
  --dnd 50 --senders PELRIN,PELDEM --sender-reply list
"$provider" serve --db "$db" --listen 127.0.0.1:0 --port-file "$work/port" >"$work/provider.log" 2>&1 &
provider_pid=$!
for _ in $(seq 1 100); do
  [ -s "$work/port" ] && break
  sleep 0.05
done
[ -s "$work/port" ] || { echo "demo: pelorin-provider did not start" >&2; cat "$work/provider.log" >&2; exit 1; }
address=$(cat "$work/port")
echo "== pelorin-provider listening on $address"

"$pelorin" host "$address"
echo "== login"
echo demo-pass | "$pelorin" login --id demo --password-stdin
echo "== credit"
"$pelorin" credit
echo "== sheets of $(basename "$workbook")"
"$pelorin" sheets "$workbook"
message='Dear |B|, your order |C| is ready for pickup in |D|.'
echo "== preview"
"$pelorin" preview "$workbook" --rows 2-6 --message "$message"
echo "== check (what the send will cost, which rows would fail)"
"$pelorin" region IN
"$pelorin" check "$workbook" --rows 2-37 --message "$message" || echo "(the check found rows that would fail)"
echo "== send"
"$pelorin" send "$workbook" --rows 2-37 --message "$message"
echo "== credit after the send"
"$pelorin" credit
echo "== what the provider received"
"$provider" runs --db "$db"
"$pelorin" logout
