#!/bin/sh
# Runs phonenumber_answers built against two libphonenumber builds and fails,
# showing the first texts they answer differently, unless every line agrees.
# Usage: compare_answers.sh DEBIAN_BUILD RE2_BUILD [COUNT]
set -eu
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$1" "${3:-20000}" > "$out/debian"
"$2" "${3:-20000}" > "$out/re2"
if ! cmp -s "$out/debian" "$out/re2"; then
  echo "libphonenumber with RE2 answers differently from Debian's:" >&2
  diff "$out/debian" "$out/re2" | head -20 >&2
  exit 1
fi
echo "$(wc -l < "$out/re2") texts answered alike"
