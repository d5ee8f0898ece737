#!/usr/bin/env bash
# Throughput of pelorin-provider's Compose page: two clients upload 2,000
# packets of 1,000 records between them, each client its own run. Prints
# packets/s and records/s. Builds the release preset first.
#
# Usage: bench/provider_bench.sh [PACKETS] [RECORDS] [CLIENTS]
set -euo pipefail
cd "$(dirname "$0")/.."
packets=${1:-2000}
records=${2:-1000}
clients=${3:-2}

cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target pelorin-provider provider_load_bench >/dev/null
provider=build-release/provider/pelorin-provider
load=build-release/provider/provider_load_bench

work=$(mktemp -d -t pelorin-provider-bench.XXXXXX)
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -TERM "$pid"; wait "$pid" || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

"$provider" account add --db "$work/db" --id bench --password bench --credits $((packets * records * 2))
"$provider" serve --db "$work/db" --listen 127.0.0.1:0 --port-file "$work/port" \
  --max-body $((256 << 20)) >/dev/null 2>&1 &
pid=$!
for _ in $(seq 1 100); do [ -s "$work/port" ] && break; sleep 0.05; done
"$load" "$(cat "$work/port")" bench "$packets" "$records" "$clients"
