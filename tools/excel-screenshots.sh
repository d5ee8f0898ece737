#!/usr/bin/env bash
# Renders every dialog of the Excel add-in (and the status window after a
# send) in real windows under Wine and Xvfb, one PNG per dialog:
#   tools/excel-screenshots.sh [OUTPUT_DIR]     (default build-windows/screenshots)
# Uses the display in PELORIN_TEST_DISPLAY when set, else a fresh Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-windows/screenshots}

if [ -z "${PELORIN_SCREENSHOTS_INNER:-}" ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target form_gallery -j2 >/dev/null
  mkdir -p "$out"
  if [ -n "${PELORIN_TEST_DISPLAY:-}" ]; then
    PELORIN_SCREENSHOTS_INNER=1 DISPLAY=$PELORIN_TEST_DISPLAY exec "$0" "$out"
  fi
  PELORIN_SCREENSHOTS_INNER=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$out"
fi

prefix=$PWD/build-windows/wine-prefix
gallery=build-windows/tests/excel/forms/form_gallery.exe
# The prefix is made (and set up for title bars and fonts) on first use.
PELORIN_TEST_DISPLAY=$DISPLAY tests/excel/forms/wine-run.sh "$prefix" "$gallery" >/dev/null
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

for scene in $(wine "$gallery" | tr -d '\r'); do
  log=$(mktemp)
  wine "$gallery" "$scene" 4 >"$log" 2>&1 &
  pid=$!
  for _ in $(seq 1 100); do
    grep -q '^shown' "$log" && break
    sleep 0.1
  done
  sleep 1.5
  import -window root "$out/$scene.full.png"
  convert "$out/$scene.full.png" -trim +repage "$out/$scene.png"
  rm -f "$out/$scene.full.png"
  wait "$pid" || true
  rm -f "$log"
  echo "$out/$scene.png"
done
