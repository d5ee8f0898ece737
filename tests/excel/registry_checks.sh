# Registry checks shared by the shell tests that run under wine_run.sh:
# source it after `set -Eeuo pipefail`. Each failed check is counted in
# `failures` and printed; a command that fails outside the checks is named
# before the test ends, where it would otherwise end it without a word.
trap 'echo "FAILED: line $LINENO: $BASH_COMMAND exited with $?"' ERR

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# The value's data as `reg query` prints it; empty when the value is absent.
# awk reads to the end: leaving early could break the pipe under tr, which
# pipefail would count as a failure.
value() {
  local key=$1 name=$2
  local args=(/v "$name")
  [ "$name" = "(Default)" ] && args=(/ve)
  { wine reg query "$key" "${args[@]}" 2>/dev/null || true; } | tr -d '\r' |
    awk -v n="$name" '!found && index($0, n) { sub(/^ *[^ ]+ +[^ ]+ +/, ""); print; found = 1 }'
}
expect_value() {
  local actual
  actual=$(value "$1" "$2")
  [ "$actual" = "$3" ] || fail "$1 $2 is '$actual', expected '$3'"
}
expect_absent() {
  if wine reg query "$1" >/dev/null 2>&1; then fail "$1 still exists"; fi
}
