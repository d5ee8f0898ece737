# Paths between Linux and the test prefix, converted as winepath converts
# them but without starting a Wine program: winepath itself at times fails to
# start, and a test would fail for that alone. Source it with WINEPREFIX set.

# An absolute Linux path as Windows programs see it: on Wine's Z: drive,
# which maps the root.
windows_path() {
  local path=$1
  printf 'Z:%s\n' "${path//\//\\}"
}

# A Windows path (DRIVE:\...) as the Linux file it is, through the prefix's
# drive links.
unix_path() {
  local path=$1
  local drive=${path:0:1} rest=${path:2}
  local root
  root=$(readlink -f "$WINEPREFIX/dosdevices/${drive,,}:")
  printf '%s%s\n' "${root%/}" "${rest//\\//}"
}
