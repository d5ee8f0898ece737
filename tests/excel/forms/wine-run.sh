#!/usr/bin/env bash
# wine-run.sh PREFIX PROGRAM [ARGS...]: runs a Windows program under Wine in
# the given prefix (made on first use), with a screen: the display named by
# PELORIN_TEST_DISPLAY, or a fresh Xvfb from xvfb-run.
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="

with_display() {
  if [ -n "${PELORIN_TEST_DISPLAY:-}" ]; then
    DISPLAY=$PELORIN_TEST_DISPLAY "$@"
  else
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
  fi
}

mkdir -p "$prefix"
(
  flock 9
  if [ ! -f "$prefix/.pelorin-ready" ]; then
    wine wineboot --init >/dev/null 2>&1
    # Windows draw their own title bars (there is no window manager), and
    # Verdana, which Wine lacks, is drawn with its look-alike.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Verdana /t REG_SZ /d 'DejaVu Sans' /f >/dev/null 2>&1
    wineserver -w
    touch "$prefix/.pelorin-ready"
  fi
) 9>"$prefix.lock"

with_display wine "$@"
