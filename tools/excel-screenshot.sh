#!/usr/bin/env bash
# Shows the add-in's exit question inside the stand-in Excel under Xvfb and
# saves a screenshot of the screen:
#   tools/excel-screenshot.sh [OUTPUT.png]      (default build-windows/exit-question.png)
# Builds the Windows preset first when needed; uses its own Wine prefix and
# display (see tests/excel/wine_run.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
output=$(realpath -m "${1:-build-windows/exit-question.png}")

if [ ! -f build-windows/hosts/excel/Pelorin.dll ] || [ ! -f build-windows/tests/excel/excel-standin.exe ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j2 --target pelorin_excel_addin excel-standin record-open
fi

export PELORIN_EXCEL_BUILD=$PWD/build-windows
run=tests/excel/wine_run.sh
$run setup >/dev/null
trap '$run cleanup' EXIT

script=$PELORIN_EXCEL_BUILD/wine-test/exit-question.script
cat >"$script" <<'STEPS'
set-setting session vpelorin_uid "ÝÞæè"
connect
hold-next-box 6
answer no
disconnect
expect-box "Are you sure you want to exit from Pelorin Excel Plug-in??" 36
delete-setting session vpelorin_uid
STEPS
$run script "$script" &
standin=$!
sleep 4
DISPLAY=$(cat "$PELORIN_EXCEL_BUILD/wine-test/display") import -window root "$output"
wait "$standin"
echo "screenshot: $output"
