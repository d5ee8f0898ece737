#!/usr/bin/env bash
# The whole path from a workbook file to the service, for .ods, .xlsx and
# .csv holding the same ROWS rows × 3 columns (default 1,000,000), in one run:
#   1. the readers: each file read by bench/workbook_read beside its inflate
#      floor (bench/inflate_floor on content.xml or the sheet's XML);
#   2. the sends: `pelorin send` of every row to a pelorin-provider on
#      127.0.0.1, beside the replay floor: the packets of one send uploaded
#      again by curl on one kept-alive connection (bench/replay_packets.py),
#      and again with a fresh connection per packet, as the add-in makes;
#      sends and replays taking turns, round after round;
#   3. the provider alone with one and two keep-alive clients
#      (bench/provider_bench.sh).
# Read times are hyperfine medians, send times medians of the rounds; the
# ratios are taken within the run.
#
# Usage: bench/send_bench.sh [ROWS] [RUNS]
# The files are kept in $PELORIN_BENCH_DATA (default /tmp/pelorin-send-bench);
# $PELORIN_BENCH_BASELINE may name an earlier build's workbook_read, whose
# .ods read is timed beside ours.
set -euo pipefail
cd "$(dirname "$0")/.."
rows=${1:-1000000}
runs=${2:-3}
python=/usr/bin/python3
data=${PELORIN_BENCH_DATA:-${TMPDIR:-/tmp}/pelorin-send-bench}
mkdir -p "$data"

echo "== building (release preset)"
cmake --preset release >/dev/null
cmake --build --preset release -j 2 --target pelorin pelorin-provider workbook_read inflate_floor \
  provider_load_bench >/dev/null
bin=$PWD/build-release
pelorin=$bin/hosts/cli/pelorin
provider=$bin/provider/pelorin-provider
reader=$bin/bench/workbook_read
floor=$bin/bench/inflate_floor

xlsx=$data/contacts-$rows.xlsx
ods=$data/contacts-$rows.ods
csv=$data/contacts-$rows.csv
if [ ! -s "$xlsx" ]; then
  echo "== writing $rows rows with xlsxwriter"
  "$python" bench/make_bench_xlsx.py "$rows" "$data/inline.xlsx" "$xlsx"
  rm -f "$data/inline.xlsx"
fi
if [ ! -s "$ods" ]; then
  echo "== converting to .ods with LibreOffice (a profile of its own)"
  mkdir -p "$data/convert"
  soffice -env:UserInstallation="file://$data/lo-profile" --headless --convert-to ods \
    --outdir "$data/convert" "$xlsx" >/dev/null 2>&1
  mv "$data/convert/$(basename "${xlsx%.xlsx}").ods" "$ods"
fi
if [ ! -s "$csv" ]; then
  "$reader" "$xlsx" | tr '\t' ',' >"$csv"
fi
ls -l "$ods" "$xlsx" "$csv"
echo "== first rows read from each"
for file in "$ods" "$xlsx" "$csv"; do "$reader" "$file" 2>/dev/null | head -n 2 || true; done

summarise() {  # JSON from hyperfine, then pairs "NAME INDEX FLOOR_INDEX"
  local json=$1
  shift
  "$python" - "$json" "$@" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
pairs = sys.argv[2:]
print("%-10s %9s %9s %9s %9s %12s" % ("", "median s", "floor s", "x floor", "CPU s", "x floor CPU"))
cpu = lambda r: r["user"] + r["system"]  # hyperfine's means
for i in range(0, len(pairs), 3):
    name, at, base = pairs[i], int(pairs[i + 1]), int(pairs[i + 2])
    m, b = results[at]["median"], results[base]["median"]
    print("%-10s %9.3f %9.3f %9.2f %9.3f %12.2f" % (name, m, b, m / b, cpu(results[at]),
                                                   cpu(results[at]) / cpu(results[base])))
PY
}

echo "== readers beside their inflate floors (load: $(cut -d' ' -f1-3 /proc/loadavg))"
# PELORIN_BENCH_BASELINE may name a workbook_read of an earlier build, timed
# on the .ods beside ours.
baseline=(${PELORIN_BENCH_BASELINE:+"$PELORIN_BENCH_BASELINE $ods"})
hyperfine --warmup 1 --runs "$runs" --style basic --export-json "$data/read.json" \
  "$floor $ods content.xml" "$reader $ods" \
  "$floor $xlsx xl/worksheets/sheet1.xml" "$reader $xlsx" "$reader $csv" "${baseline[@]}"
summarise "$data/read.json" ods 1 0 xlsx 3 2 ods/xlsx 1 3 csv/xlsx 4 3 \
  ${PELORIN_BENCH_BASELINE:+baseline 5 0}

work=$(mktemp -d -t pelorin-send-bench.XXXXXX)
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -TERM "$pid"; wait "$pid" || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data" \
  XDG_STATE_HOME="$work/state"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$provider" account add --db "$work/db" --id bench --password bench --credits $((rows * 40)) \
  --dnd 50 --senders BENCHS --sender-reply list >/dev/null
"$provider" serve --db "$work/db" --listen 127.0.0.1:0 --port-file "$work/port" \
  --max-body $((256 << 20)) >"$work/provider.log" 2>&1 &
pid=$!
for _ in $(seq 1 100); do [ -s "$work/port" ] && break; sleep 0.05; done
address=$(cat "$work/port")
"$pelorin" host "$address" >/dev/null
echo bench | "$pelorin" login --id bench --password-stdin >/dev/null
cat >"$work/send.sh" <<SH
#!/bin/sh
exec "$pelorin" send "\$1" --mobile-column B --rows "1-$rows" \\
  --message "Dear |A|, your balance is |C|." --sender BENCHS
SH
chmod +x "$work/send.sh"

# One send first: its packets are the ones the floor replays.
"$work/send.sh" "$csv" >/dev/null
"$python" bench/replay_packets.py "$work/db" "$work/replay"
sed "s/HOSTPORT/$address/" "$work/replay/replay.curl" >"$work/replay/template.curl"
# The same packets with a fresh connection for every one, as the add-in
# makes one for every request ("Connection: close": the provider closes it
# after its reply, as the add-in does after reading it).
sed 's/^header = "Expect:"$/header = "Expect:"\nheader = "Connection: close"/' \
  "$work/replay/template.curl" >"$work/replay/fresh.curl"
# replay.sh TEMPLATE: one replay of the curl config TEMPLATE.curl.
cat >"$work/replay.sh" <<SH
#!/bin/sh
# A run name of its own for every replay, as every send has.
sed "s/RUNNAME/replay\$\$/" "$work/replay/\$1.curl" >"$work/replay/now.curl"
exec curl -sS --fail -K "$work/replay/now.curl"
SH
chmod +x "$work/replay.sh"

# The sends and the replay take turns, round after round, so that the
# machine's load and the provider's growing database weigh on each alike;
# each send is set against the replay of its own round. Round 0 warms up.
echo "== sends beside the replay floor, $runs rounds in turn (load: $(cut -d' ' -f1-3 /proc/loadavg))"
times=$data/send-times.txt
: >"$times"
for round in $(seq 0 "$runs"); do
  for entry in "replay $work/replay.sh template" "fresh $work/replay.sh fresh" "ods $work/send.sh $ods" \
      "xlsx $work/send.sh $xlsx" "csv $work/send.sh $csv"; do
    set -- $entry
    name=$1
    shift
    /usr/bin/time -a -o "$times" -f "$round $name %e %U %S $(cut -d' ' -f1 /proc/loadavg)" "$@" >/dev/null
  done
done
"$python" - "$times" <<'PY'
import statistics, sys
rounds = {}
for line in open(sys.argv[1]):
    round_, name, wall, user, system, load = line.split()
    if round_ != "0":
        rounds.setdefault(round_, {})[name] = (float(wall), float(user) + float(system), float(load))
names = ["replay", "fresh", "ods", "xlsx", "csv"]
print("%-7s %9s %14s %16s %16s %12s" % ("", "median s", "client CPU s", "x replay (wall)",
                                        "x fresh (wall)", "load (1 min)"))
for name in names:
    walls = [r[name][0] for r in rounds.values()]
    cpus = [r[name][1] for r in rounds.values()]
    loads = [r[name][2] for r in rounds.values()]
    ratio = lambda floor: statistics.median([r[name][0] / r[floor][0] for r in rounds.values()])
    print("%-7s %9.2f %14.2f %16.2f %16.2f %12s" % (name, statistics.median(walls),
                                                    statistics.median(cpus), ratio("replay"),
                                                    ratio("fresh"),
                                                    "%.1f-%.1f" % (min(loads), max(loads))))
PY
echo "database $(stat -c %s "$work/db") bytes, write-ahead log $(stat -c %s "$work/db-wal" 2>/dev/null || echo 0) bytes"
kill -TERM "$pid"; wait "$pid" || true; pid=""

echo "== the provider alone, one and two keep-alive clients (load: $(cut -d' ' -f1-3 /proc/loadavg))"
bench/provider_bench.sh 2000 1000 1 2
