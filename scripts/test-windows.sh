#!/usr/bin/env bash
# The Windows lane: compiles every Windows implementation file (*_win.cpp) with mingw-w64, links
# the small tests of tests/windows/ with the files they check, and runs them under wine. Needs
# no display. Exits non-zero when a file does not compile or a test fails.
# Usage: scripts/test-windows.sh [BUILD_DIR]   (default build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh windows
out=${1:-build-windows}
mkdir -p "$out"

cxx=x86_64-w64-mingw32-g++
flags=(-std=c++20 -I. -Wall -Wextra -Werror -O1)
wine=
for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
  if [ -n "$candidate" ] && [ -x "$candidate" ]; then wine=$candidate; break; fi
done
[ -n "$wine" ] || { echo "no wine found" >&2; exit 1; }

echo "== compiling the Windows implementation files"
mapfile -t sources < <(find app cli settings ui xml -name '*_win.cpp' | sort)
for source in "${sources[@]}"; do
  echo "   $source"
  "$cxx" "${flags[@]}" -c "$source" -o "$out/$(basename "$source" .cpp).o"
done

# Each test and the implementation files it links.
declare -A tests=(
  [test_codepage]="xml/NativeCodePage_win.cpp"
  [test_shell]="app/NativeShell_win.cpp app/ShellErrorMessages.cpp"
  [test_executable]="app/NativeExecutable_win.cpp"
  [test_window]="app/NativeWindow_win.cpp"
)
declare -A entry=([test_executable]=-municode)
echo "== linking the tests"
for test in "${!tests[@]}"; do
  # shellcheck disable=SC2086
  "$cxx" "${flags[@]}" ${entry[$test]:-} -static -o "$out/$test.exe" "tests/windows/$test.cpp" ${tests[$test]} \
    -lshell32 -luser32
done

prefix=$(mktemp -d)
trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; rm -rf "$prefix"' EXIT
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
echo "== running under $("$wine" --version 2>/dev/null || echo "$wine") ($wine); the first start sets up a prefix"
"$wine" wineboot --init >/dev/null 2>&1 || true

failed=()
for test in $(printf '%s\n' "${!tests[@]}" | sort); do
  echo "== $test"
  status=0
  "$wine" "$out/$test.exe" </dev/null 2> >(grep -v -e '^[0-9a-f]*:err:' -e 'Make sure that your X server' \
    -e 'nodrv_CreateWindow' >&2) || status=$?
  [ "$status" -eq 0 ] || failed+=("$test")
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Windows lane failed: ${failed[*]}" >&2
  exit 1
fi
echo "Windows lane passed"
