#!/usr/bin/env bash
# Runs a Windows program of the cross build under wine, as CTest's emulator: the DLLs of the
# build are found (Qt's plugins lie beside Qt's own), and a Qt Test program's report reaches
# standard output (under wine a Qt Test program's report to a pipe comes back empty, to a file it
# is whole). Wine hands no QT_ variable to Windows programs, so QT_QPA_PLATFORM becomes -platform.
# Usage: wine-run.sh --env BUILD/windows-env.sh PROGRAM.exe [ARGUMENTS...]
# Environment: WINEPREFIX (the caller's prefix; default wine's own), TAVRELO_WINE_TIMEOUT
# (seconds, default 300), DISPLAY (wine makes windows only on an X display).
set -uo pipefail

[ "${1:-}" = --env ] || { echo "usage: $0 --env BUILD/windows-env.sh PROGRAM.exe [ARGUMENTS...]" >&2; exit 2; }
# shellcheck source=/dev/null
. "$2"
shift 2
program=$1
shift

wine=
for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
  if [ -n "$candidate" ] && [ -x "$candidate" ]; then wine=$candidate; break; fi
done
[ -n "$wine" ] || { echo "wine is missing: run scripts/install-deps.sh windows" >&2; exit 2; }

# WINEPATH takes Windows paths; Z: is the root of the Unix file system.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
dll_path=
IFS=: read -r -a folders <<<"$TAVRELO_WINDOWS_DLL_PATH"
for folder in "${folders[@]}"; do dll_path+="${dll_path:+;}$(windows_path "$folder")"; done
export WINEPATH=$dll_path
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}

timeout=(timeout --kill-after=10 "${TAVRELO_WINE_TIMEOUT:-300}")

# A test that shows wine's windows on the display it was given waits for the wine server of the
# runs before to end: their desktop was made without a display, and a program of the same server
# could make no window.
if [ -n "${DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" = windows ]; then
  "$(dirname "$wine")/wineserver" -w
fi
case "$(basename "$program")" in
  tst_*)
    report=$(mktemp)
    platform=()
    # Only a program with Qt's GUI takes -platform: Qt Test refuses it in one without.
    if [ -n "${QT_QPA_PLATFORM:-}" ] && [[ "$(x86_64-w64-mingw32-objdump -p "$program")" == *"DLL Name: Qt6Gui.dll"* ]]; then
      platform=(-platform "$QT_QPA_PLATFORM")
    fi
    "${timeout[@]}" "$wine" "$program" "${platform[@]}" "$@" -o "$(windows_path "$report"),txt"
    status=$?
    cat "$report"
    rm -f "$report"
    [ "$status" -ne 124 ] || echo "wine-run.sh: $(basename "$program") did not end within ${TAVRELO_WINE_TIMEOUT:-300} s" >&2
    exit "$status"
    ;;
  *)
    exec "${timeout[@]}" "$wine" "$program" "$@"
    ;;
esac
