#!/usr/bin/env bash
# dll_kind_test.sh OBJDUMP DLL MACHINE: the add-in DLL is of the given kind
# (objdump's "file format", pei-i386 or pei-x86-64), exports the four entry
# points of a COM server and imports system DLLs only.
set -euo pipefail
objdump=$1 dll=$2 machine=$3
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

headers=$("$objdump" -p "$dll")
grep -q "file format $machine\$" <<<"$headers" || fail "$dll is not $machine"
for export in DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer; do
  grep -Eq "\] $export\$" <<<"$headers" || fail "$dll does not export $export"
done
# Windows' own DLLs; anything else would have to be shipped beside the add-in.
system='^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|shell32|shlwapi|comctl32|comdlg32|uxtheme|winhttp|iphlpapi|ws2_32|msvcrt|version|bcrypt|crypt32|secur32)\.dll$'
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z')
[ -n "$imports" ] || fail "$dll lists no imports"
for import in $imports; do
  grep -Eq "$system" <<<"$import" || fail "$dll imports $import, which is not a system DLL"
done
echo "$dll: $machine, imports $(echo $imports | tr ' ' ',')"
exit $((failures > 0))
