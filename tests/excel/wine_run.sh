#!/usr/bin/env bash
# Runs the Excel add-in's tests under Wine, in one prefix under the Windows
# build directory with an Xvfb display of its own.
#   wine_run.sh setup | cleanup
#   wine_run.sh script FILE          the stand-in Excel runs FILE
#   wine_run.sh program NAME.exe     a test program of the build
#   wine_run.sh registration TEST.sh a shell test given the wine commands
# Needs PELORIN_EXCEL_BUILD (the Windows build directory); PELORIN_PROVIDER
# names pelorin-provider, started on 127.0.0.1 for every test that runs.
set -Eeuo pipefail
# A step that fails ends the run: say which, or the test fails without a word.
trap 'echo "wine_run.sh: line $LINENO: $BASH_COMMAND exited with $?" >&2' ERR

# Descriptors handed down by the caller (ctest's output pipe among them) must
# not stay open in the daemons started here, or the caller waits for them.
for descriptor in /proc/$$/fd/*; do
  number=${descriptor##*/}
  if [ "$number" -gt 2 ] 2>/dev/null; then eval "exec $number>&-" 2>/dev/null || true; fi
done

build=${PELORIN_EXCEL_BUILD:?}
state=$build/wine-test
export WINEPREFIX=$state/prefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
source "$(dirname "$0")/wine_paths.sh"
programs=$build/tests/excel
addin=$build/hosts/excel/Pelorin.dll

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()'
}

wait_for_port() {
  for _ in $(seq 100); do
    if python3 -c "import socket,sys; socket.create_connection(('127.0.0.1', $1), 0.2)" 2>/dev/null; then
      return 0
    fi
    sleep 0.05
  done
  echo "nothing listens on port $1" >&2
  return 1
}

use_display() {
  DISPLAY=$(cat "$state/display")
  export DISPLAY
}

setup() {
  if [ -f "$state/xvfb.pid" ]; then cleanup || true; fi
  rm -rf "$state"
  mkdir -p "$state"
  # A display of our own: the first free one from :81 (or
  # PELORIN_XVFB_FIRST_DISPLAY) on.
  local display first=${PELORIN_XVFB_FIRST_DISPLAY:-81}
  for display in $(seq "$first" $((first + 40))); do
    [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ] && continue
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    sleep 0.5
    if kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
      echo ":$display" >"$state/display"
      break
    fi
  done
  [ -f "$state/display" ] || { echo "no free display for Xvfb" >&2; exit 1; }
  use_display
  wine wineboot --init >"$state/wineboot.log" 2>&1
  wineserver -w
  wineserver -p >/dev/null 2>&1 </dev/null
  # No window manager runs on the display: Wine draws the title bars itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  # The shell's open command for web and mail addresses records them.
  local recorder
  recorder=$(windows_path "$programs/record-open.exe")
  for scheme in http https mailto; do
    wine reg add "HKLM\\Software\\Classes\\$scheme\\shell\\open\\command" /ve /d "\"$recorder\" \"%1\"" /f >/dev/null
    wine reg delete "HKLM\\Software\\Classes\\$scheme\\shell\\open\\ddeexec" /f >/dev/null 2>&1 || true
  done
  wine regsvr32 /s "$(windows_path "$addin")"
  echo "Wine prefix ready on display $DISPLAY"
}

cleanup() {
  WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid"
  fi
}

start_provider() {
  [ -x "${PELORIN_PROVIDER:-}" ] || return 0
  local port db
  port=$(free_port)
  db=$state/provider.db
  rm -f "$db"
  "$PELORIN_PROVIDER" account add --db "$db" --id demo --password demo-pass --credits 500 >/dev/null
  "$PELORIN_PROVIDER" account add --db "$db" --id broke --password broke-pass --credits 0 >/dev/null
  "$PELORIN_PROVIDER" serve --db "$db" --listen "127.0.0.1:$port" >"$state/provider.log" 2>&1 &
  provider_pid=$!
  wait_for_port "$port"
  export PELORIN_SERVICE=127.0.0.1:$port
}

start_proxy() {
  local program
  program=$(command -v tinyproxy || echo /usr/sbin/tinyproxy)
  [ -x "$program" ] || return 0
  local port
  port=$(free_port)
  : >"$state/tinyproxy.log"
  cat >"$state/tinyproxy.conf" <<CONF
Port $port
Listen 127.0.0.1
Allow 127.0.0.1
Timeout 10
MaxClients 16
LogLevel Connect
LogFile "$state/tinyproxy.log"
CONF
  "$program" -d -c "$state/tinyproxy.conf" >"$state/tinyproxy.out" 2>&1 &
  proxy_pid=$!
  wait_for_port "$port"
  export PELORIN_PROXY_PORT=$port
  PELORIN_PROXY_LOG=$(windows_path "$state/tinyproxy.log")
  export PELORIN_PROXY_LOG
}

provider_pid=
proxy_pid=
stop_helpers() {
  [ -n "$provider_pid" ] && kill "$provider_pid" 2>/dev/null || true
  [ -n "$proxy_pid" ] && kill "$proxy_pid" 2>/dev/null || true
}

mode=${1:?mode}
shift
case $mode in
  setup)
    # Wine's services outlive this script: they must not hold the caller's
    # output open, so everything goes to a log shown on failure.
    log=$build/wine-test-setup.log
    if ! setup >"$log" 2>&1 </dev/null; then cat "$log"; exit 1; fi
    tail -1 "$log" ;;
  cleanup) cleanup ;;
  script|program|registration)
    use_display
    trap stop_helpers EXIT
    start_provider
    rm -f "$state/opened.log"
    PELORIN_OPEN_LOG=$(windows_path "$state/opened.log")
    export PELORIN_OPEN_LOG
    export PELORIN_TESTS=$(dirname "$0")
    case $mode in
      script)
        wine "$programs/excel-standin.exe" "$(windows_path "$1")" ;;
      program)
        start_proxy
        wine "$programs/$1" ;;
      registration)
        ADDIN=$(windows_path "$addin") bash "$1" ;;
    esac
    ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac
