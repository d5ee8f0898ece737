#!/usr/bin/env bash
# Builds pelorin.oxt and takes PNG screenshots of Pelorin in LibreOffice Calc
# under Xvfb: the menu open and every dialog. Folder: $1, else
# build/calc-screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc 2>/dev/null || echo 2)" \
  --target pelorin_oxt pelorin pelorin-provider
exec /usr/bin/python3 tools/calc_screenshots.py "$@"
