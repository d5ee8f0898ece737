#!/usr/bin/env bash
# Pelorin-Setup.exe under Wine: a silent per-user install with /HOST= puts
# both DLLs under the user's local application data, registers the 64-bit one
# there, stores the host and lists the program; the stand-in Excel then loads
# the add-in from there and builds the menu; a silent uninstall removes the
# files and every key of the add-in and keeps the user's settings and run
# journals.
# Run by wine_run.sh (registration mode), which gives ADDIN and the prefix.
set -Eeuo pipefail
source "$(dirname "$0")/registry_checks.sh"
source "$(dirname "$0")/wine_paths.sh"

build=${PELORIN_EXCEL_BUILD:?}
setup=$build/hosts/excel/installer/Pelorin-Setup.exe

pelorin_keys() {
  wine reg export HKCU "$(windows_path "$1")" /y >/dev/null 2>&1
  iconv -f UTF-16LE -t UTF-8 "$1" | tr -d '\r' | grep -i '^\[.*pelorin' | sort || true
}

work=$(mktemp -d)
trap 'rm -rf "$work"; wine regsvr32 /s "$ADDIN" >/dev/null 2>&1 || true' EXIT

settings='HKCU\Software\Microsoft\Windows\CurrentVersion'
uninstall_key="$settings\\Uninstall\\Pelorin"
# Start from a machine without the add-in, with a user's login and settings.
wine regsvr32 /u /s "$ADDIN"
wine reg add "$settings" /v vpelorin_cid /d 10 /f >/dev/null
wine reg add "$settings\\RunOnce" /v vpelorin_uid /d abc /f >/dev/null
[ -z "$(pelorin_keys "$work/before.reg")" ] || fail "keys of the add-in before the install"

wine "$(windows_path "$setup")" /S /HOST=127.0.0.1:8123 || fail "the silent install failed"
local_data=$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
installed="$local_data\\Pelorin"
unix_installed=$(unix_path "$installed")
for file in x64/Pelorin.dll x86/Pelorin.dll Uninstall.exe; do
  [ -f "$unix_installed/$file" ] || fail "$file is not installed in $installed"
done
cmp -s "$unix_installed/x64/Pelorin.dll" "$(unix_path "$ADDIN")" || fail "the installed 64-bit DLL is not this build's"
connect=$(value 'HKCU\Software\Classes\Pelorin.Connect\CLSID' "(Default)")
expect_value "HKCU\\Software\\Classes\\CLSID\\$connect\\InprocServer32" "(Default)" "$installed\\x64\\Pelorin.dll"
expect_value 'HKCU\Software\Microsoft\Office\Excel\Addins\Pelorin.Connect' LoadBehavior 0x3
expect_value "$settings" vpelorin_host 127.0.0.1:8123
expect_value "$uninstall_key" DisplayName "Pelorin Excel Plug-in"
expect_value "$uninstall_key" UninstallString "\"$installed\\Uninstall.exe\""
expect_value "$uninstall_key" QuietUninstallString "\"$installed\\Uninstall.exe\" /S"

# Excel finds the add-in through its key and loads it from the installed place.
cat >"$work/installed.script" <<'SCRIPT'
delete-setting session vpelorin_uid
connect
expect-connect ok
expect-popups Pelorin 1
expect-buttons Pelorin 9
expect-menu Pelorin Login enabled
expect-menu Pelorin Logout disabled
disconnect
expect-released
SCRIPT
wine "$build/tests/excel/excel-standin.exe" "$(windows_path "$work/installed.script")" || fail "the stand-in Excel could not use the installed add-in"

# A silent uninstall runs a copy of itself and returns at once: wait for it.
# The user's run journals, beside the program, stay as the settings do.
wine reg add "$settings\\RunOnce" /v vpelorin_uid /d abc /f >/dev/null
mkdir -p "$unix_installed/runs"
echo "a journal" >"$unix_installed/runs/demo_1"
wine "$installed\\Uninstall.exe" /S || fail "the silent uninstall failed"
for _ in $(seq 120); do
  [ -e "$unix_installed/Uninstall.exe" ] || break
  sleep 0.25
done
left=$(cd "$unix_installed" && find . -mindepth 1 -not -path './runs' -not -path './runs/*' | tr '\n' ' ')
[ -z "$left" ] || fail "the uninstall left $left in $installed"
[ -f "$unix_installed/runs/demo_1" ] || fail "the uninstall removed the user's run journals"
[ -z "$(pelorin_keys "$work/after.reg")" ] || fail "keys of the add-in left: $(pelorin_keys "$work/after.reg")"
expect_absent "$uninstall_key"
expect_absent "HKCU\\Software\\Classes\\CLSID\\$connect"
expect_value "$settings" vpelorin_host 127.0.0.1:8123
expect_value "$settings" vpelorin_cid 10
expect_value "$settings\\RunOnce" vpelorin_uid abc

wine reg delete "$settings" /v vpelorin_host /f >/dev/null 2>&1 || true
wine reg delete "$settings" /v vpelorin_cid /f >/dev/null 2>&1 || true
wine reg delete "$settings\\RunOnce" /v vpelorin_uid /f >/dev/null 2>&1 || true
rm -f "$unix_installed/runs/demo_1"
exit $((failures > 0))
