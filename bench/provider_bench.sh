#!/usr/bin/env bash
# Throughput of pelorin-provider's Compose page with keep-alive clients:
# PACKETS packets of RECORDS records, shared among the clients, each client
# its own run on one kept-alive connection with TCP_NODELAY set, as libcurl
# sets it. Run once for each client count given (default: 1, then 2), each
# against a fresh database. Prints packets/s and records/s, and the size of
# the database and its write-ahead log afterwards. Builds the release preset
# first.
#
# Usage: bench/provider_bench.sh [PACKETS] [RECORDS] [CLIENTS ...]
set -euo pipefail
cd "$(dirname "$0")/.."
packets=${1:-2000}
records=${2:-1000}
shift $(($# < 2 ? $# : 2))
client_counts=("${@:-1}")
if [ $# -eq 0 ]; then client_counts=(1 2); fi

cmake --preset release >/dev/null
cmake --build --preset release -j 2 --target pelorin-provider provider_load_bench >/dev/null
provider=build-release/provider/pelorin-provider
load=build-release/provider/provider_load_bench

work=$(mktemp -d -t pelorin-provider-bench.XXXXXX)
pid=""
stop_server() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -TERM "$pid"; wait "$pid" || true; fi
  pid=""
}
cleanup() {
  stop_server
  rm -rf "$work"
}
trap cleanup EXIT

for clients in "${client_counts[@]}"; do
  db=$work/db-$clients
  rm -f "$work/port"
  "$provider" account add --db "$db" --id bench --password bench --credits $((packets * records * 2))
  "$provider" serve --db "$db" --listen 127.0.0.1:0 --port-file "$work/port" \
    --max-body $((256 << 20)) >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 100); do [ -s "$work/port" ] && break; sleep 0.05; done
  "$load" "$(cat "$work/port")" bench "$packets" "$records" "$clients"
  echo "database $(stat -c %s "$db") bytes, write-ahead log $(stat -c %s "$db-wal" 2>/dev/null || echo 0) bytes"
  stop_server
done
