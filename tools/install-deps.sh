#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Pelorin need,
# then builds libphonenumber with RE2 once (tools/build-libphonenumber.sh).
# Does nothing when they are all present already.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libcurl4-gnutls-dev libcpp-httplib-dev libcli11-dev nlohmann-json3-dev libsqlite3-dev
  libzip-dev libexpat1-dev zlib1g-dev libfreexl-dev libphonenumber-dev libabsl-dev
  dpkg-dev libre2-dev libprotobuf-dev protobuf-compiler libicu-dev
  tinyproxy hyperfine
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix nsis curl
  mingw-w64-tools libwine-dev wine wine64 fonts-wine xvfb xauth imagemagick
  clang-14 libclang-rt-14-dev
  python3 python3-openpyxl python3-xlsxwriter xlsx2csv
  libreoffice-calc libreoffice-dev python3-uno
  xdotool twm
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Without it Debian's libphonenumber is linked: the same answers, read slower.
"$(dirname "$0")/build-libphonenumber.sh" ||
  echo "install-deps: libphonenumber with RE2 not built; Debian's will be linked" >&2
