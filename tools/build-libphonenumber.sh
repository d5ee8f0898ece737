#!/usr/bin/env bash
# Builds libphonenumber from Debian's own source package with RE2 as its
# regular-expression engine, once, into a cache folder that
# platform/phonenumbers links when it is there (Debian's libphonenumber-dev
# otherwise). Debian's build uses ICU regular expressions and a regexp cache
# keyed by a slow string hash; numbers are read four to six times faster with
# RE2 and an ordered map (see bench/README.md). The numbering plans are the
# same data: the source is Debian's, fetched with apt-get source.
#
# Usage: tools/build-libphonenumber.sh        (called by tools/install-deps.sh)
# PELORIN_DEPS names the cache folder (default /opt/pelorin-deps). Does
# nothing when the library there was built by this same recipe.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

deps=${PELORIN_DEPS:-/opt/pelorin-deps}
prefix=$deps/libphonenumber-re2
patch_file=$here/patches/libphonenumber-re2-adapter.patch
options=(
  -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_POSITION_INDEPENDENT_CODE=ON
  -DUSE_RE2=ON -DUSE_ICU_REGEXP=OFF  # ICU stays for Unicode, not for patterns
  -DUSE_STD_MAP=ON                   # the tr1 map hashes whole patterns byte by byte
  -DUSE_BOOST=OFF                    # POSIX locks, as Debian's build
  -DBUILD_GEOCODER=OFF
  -DREGENERATE_METADATA=OFF          # the plans as generated in the source
)
recipe=$(cat "$0" "$patch_file" | sha256sum | cut -d' ' -f1)

if [ -f "$prefix/recipe" ] && [ "$(cat "$prefix/recipe")" = "$recipe" ] &&
   [ -f "$prefix/lib/libphonenumber.a" ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

# apt-get source needs deb-src entries; add them beside the binary ones,
# with the same archives, suites and components.
if ! apt-cache showsrc libphonenumber 2>/dev/null | grep -q '^Package: libphonenumber$'; then
  list=/etc/apt/sources.list.d/pelorin-deb-src.sources
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: .*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      "${sudo_cmd[@]}" tee "$list" >/dev/null
  else
    list=/etc/apt/sources.list.d/pelorin-deb-src.list
    sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list | "${sudo_cmd[@]}" tee "$list" >/dev/null
  fi
  echo "build-libphonenumber: added $list" >&2
  "${sudo_cmd[@]}" apt-get update -qq
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/libphonenumber-build.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
echo "build-libphonenumber: fetching Debian's source" >&2
apt-get source --download-only -qq libphonenumber
dsc=$(ls libphonenumber_*.dsc)
# apt has checked the files against the archive's signed index; dpkg-source
# only warns that it has no key for the maintainer's signature.
dpkg-source -x "$dsc" src >/dev/null 2>&1
patch -d src -p1 -s < "$patch_file"

echo "build-libphonenumber: building $(basename "$dsc" .dsc) with RE2" >&2
cmake -S src/cpp -B build "${options[@]}" >/dev/null
cmake --build build --target phonenumber -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

"${sudo_cmd[@]}" mkdir -p "$deps"
"${sudo_cmd[@]}" rm -rf "$prefix.new"
"${sudo_cmd[@]}" mkdir -p "$prefix.new/lib" "$prefix.new/include"
"${sudo_cmd[@]}" cp build/libphonenumber.a "$prefix.new/lib/"
(cd src/cpp/src &&
  find phonenumbers -name '*.h' -exec "${sudo_cmd[@]}" cp --parents -t "$prefix.new/include" {} +)
echo "$(basename "$dsc" .dsc)" | "${sudo_cmd[@]}" tee "$prefix.new/version" >/dev/null
echo "$recipe" | "${sudo_cmd[@]}" tee "$prefix.new/recipe" >/dev/null
"${sudo_cmd[@]}" rm -rf "$prefix"
"${sudo_cmd[@]}" mv "$prefix.new" "$prefix"
echo "build-libphonenumber: installed in $prefix" >&2
