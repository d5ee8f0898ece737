#!/usr/bin/env bash
# Runs every test on a fresh Debian 12 machine: installs what is missing,
# builds, runs the unit and integration tests, checks that the core library
# builds for Windows, tests the Excel add-in under Wine, and gives each fuzz
# target a short run.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset default
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs" --timeout 600

# The core must stay free of platform code: build it with mingw-w64 as well.
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"
echo "core library built for Windows: build-mingw/core/libpelorin_core.a"

# The Excel add-in: Pelorin.dll and the stand-in Excel built with mingw-w64,
# tested under Wine (the credit test uses the provider built above).
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
ctest --preset windows -L excel
echo "Excel add-in installer: build-windows/hosts/excel/installer/Pelorin-Setup.exe"

if [ -x tools/fuzz.sh ]; then
  tools/fuzz.sh 5
fi
