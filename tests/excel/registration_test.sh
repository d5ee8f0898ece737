#!/usr/bin/env bash
# DllRegisterServer writes the classes, ProgIDs, type library and Excel's
# add-in key under HKEY_CURRENT_USER only; DllUnregisterServer removes
# exactly that and leaves the user's settings. Run by wine_run.sh, which
# gives ADDIN (the DLL's Windows path) and the prefix.
set -Eeuo pipefail
source "$(dirname "$0")/registry_checks.sh"
source "$(dirname "$0")/wine_paths.sh"

snapshot() {
  wine reg export HKCU "$(windows_path "$1")" /y >/dev/null 2>&1
  # Sort, so that the order keys come back in does not count.
  iconv -f UTF-16LE -t UTF-8 "$1" | tr -d '\r' | sort >"$1.sorted"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

addin_key='HKCU\Software\Microsoft\Office\Excel\Addins\Pelorin.Connect'
classes='HKCU\Software\Classes'
connect='{3FB77711-12B7-4CF3-BC53-64B562082D79}'
library='{050A98CB-7E54-49F1-ACCE-7F5E960AE2EB}'

wine regsvr32 /u /s "$ADDIN"
wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion' /v vpelorin_cid /d 10 /f >/dev/null
wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\RunOnce' /v vpelorin_uid /d abc /f >/dev/null
snapshot "$work/before.reg"

wine regsvr32 /s "$ADDIN" || fail "regsvr32 failed"
expect_value "$addin_key" FriendlyName Pelorin
expect_value "$addin_key" Description "Add-In Project Template"
expect_value "$addin_key" LoadBehavior 0x3
expect_value "$addin_key" CommandLineSafe 0x0
for entry in "Pelorin.Connect $connect" "Pelorin.CGlobal {235B58C0-9284-444A-892F-7F173D9E5AA0}" \
             "Pelorin.ExcelFunctions {CE587442-56CA-431E-AD71-664110BBE6B7}"; do
  set -- $entry
  expect_value "$classes\\$1\\CLSID" "(Default)" "$2"
  expect_value "$classes\\CLSID\\$2\\InprocServer32" "(Default)" "$ADDIN"
  expect_value "$classes\\CLSID\\$2\\InprocServer32" ThreadingModel Apartment
  expect_value "$classes\\CLSID\\$2\\ProgID" "(Default)" "$1"
  expect_value "$classes\\CLSID\\$2\\TypeLib" "(Default)" "$library"
done
expect_value "$classes\\TypeLib\\$library\\1.0" "(Default)" "Pelorin Excel Plugin"
expect_value "$classes\\TypeLib\\$library\\1.0\\0\\win64" "(Default)" "$ADDIN"
# Per user: nothing machine-wide.
expect_absent 'HKLM\Software\Classes\Pelorin.Connect'
expect_absent "HKLM\\Software\\Classes\\CLSID\\$connect"
expect_absent 'HKLM\Software\Microsoft\Office\Excel\Addins\Pelorin.Connect'

wine regsvr32 /u /s "$ADDIN" || fail "regsvr32 /u failed"
expect_absent "$addin_key"
expect_absent "$classes\\Pelorin.Connect"
expect_absent "$classes\\CLSID\\$connect"
expect_absent "$classes\\TypeLib\\$library"
expect_value 'HKCU\Software\Microsoft\Windows\CurrentVersion' vpelorin_cid 10
expect_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\RunOnce' vpelorin_uid abc
snapshot "$work/after.reg"
if ! diff "$work/before.reg.sorted" "$work/after.reg.sorted" >"$work/diff"; then
  fail "unregistration left the user's registry changed:"
  cat "$work/diff"
fi

# Leave the add-in registered and the settings as they were for the others.
wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion' /v vpelorin_cid /f >/dev/null
wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\RunOnce' /v vpelorin_uid /f >/dev/null
wine regsvr32 /s "$ADDIN"
[ "$failures" -eq 0 ] && echo "registration: passed"
exit "$failures"
