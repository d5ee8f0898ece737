#!/bin/sh
# Peak memory and time of `pelorin sheets` and `pelorin send` on workbooks
# that hide huge contents in small files (bench/make_hostile_workbooks.py).
# Each must be refused with exit status 2, quickly and in little memory.
#
#   bench/hostile_workbooks.sh [BUILD_DIR]     # default: build
#
# The files are kept in $PELORIN_BENCH_DATA (default /tmp/pelorin-hostile)
# and reused. A stand-in service runs on 127.0.0.1 for the sends; nothing
# reaches it.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
data=${PELORIN_BENCH_DATA:-/tmp/pelorin-hostile}
pelorin=$build/hosts/cli/pelorin
provider=$build/provider/pelorin-provider
/usr/bin/python3 "$here/bench/make_hostile_workbooks.py" "$data" > /dev/null

work=$(mktemp -d)
server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" HOME="$work"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$provider" account add --db "$work/db" --id bench --password pw --credits 1000 > /dev/null
port=$(( 20000 + $$ % 20000 ))
"$provider" serve --db "$work/db" --listen "127.0.0.1:$port" > /dev/null 2>&1 &
server=$!
sleep 1
"$pelorin" host "127.0.0.1:$port" > /dev/null
echo pw | "$pelorin" login --id bench --password-stdin > /dev/null 2>&1

measure() {
  /usr/bin/time -v "$@" > /dev/null 2> "$work/time" || true
  status=$(sed -n 's/.*Exit status: //p' "$work/time")
  peak=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time")
  wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time")
  said=$(grep '^pelorin:' "$work/time" | head -1 | cut -c1-110)
  printf '%-8s %-20s exit %s  %6d KB  %8s  %s\n' "$2" "$(basename "$3")" "$status" "$peak" "$wall" "$said"
}

printf 'command  workbook             status    peak RSS      wall  first line on stderr\n'
for file in "$data"/*; do
  measure "$pelorin" sheets "$file"
  measure "$pelorin" send "$file" --rows 2-3 --mobile-column A --message "Hi |B|" 
done
echo "records received by the service: $("$provider" runs --db "$work/db" --json | grep -c mobile || true)"
