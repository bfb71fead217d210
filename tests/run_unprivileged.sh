#!/usr/bin/env bash
# Runs rows of a Qt Test program where a folder without write permission and a file without read
# permission mean what they say. Root reads and writes them all, so those rows skip in a suite run
# as root; as root this runs them without the capabilities that override permission bits
# (dac_override, dac_read_search, fowner), which leaves root as bound by them as any other user
# while it still reaches the build tree. A row that skips fails here.
# Usage: run_unprivileged.sh <test program> <function or function:row>...
set -uo pipefail
program=${1:?usage: $0 <test program> <function>...}
shift

run=()
if [ "$(id -u)" -eq 0 ]; then
  command -v setpriv >/dev/null || { echo "FAIL: setpriv (util-linux) is missing" >&2; exit 1; }
  run=(setpriv --bounding-set -dac_override,-dac_read_search,-fowner --)
  "${run[@]}" true || { echo "FAIL: cannot give up the capabilities that override permissions" >&2; exit 1; }
fi
output=$("${run[@]}" "$program" "$@" 2>&1)
status=$?
printf '%s\n' "$output"
[ "$status" -eq 0 ] || exit "$status"
if grep -q '^SKIP' <<<"$output"; then
  echo "FAIL: rows skipped where permission bits apply" >&2
  exit 1
fi
