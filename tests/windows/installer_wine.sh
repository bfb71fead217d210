#!/usr/bin/env bash
# The Windows installer under wine: a silent per-user install, the installed palette and
# tavrelo-cli.exe finding the example in the user's folder, a silent uninstall that leaves
# nothing, and a settings file of the user's own that neither the installer nor the uninstaller
# touches.
# Usage: installer_wine.sh <tavrelo-VERSION-setup.exe>   (WINEPREFIX: a prepared prefix)
set -uo pipefail

setup=${1:?usage: $0 <setup.exe>}
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "--- $*"; }

wine=
for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
  if [ -n "$candidate" ] && [ -x "$candidate" ]; then wine=$candidate; break; fi
done
[ -n "$wine" ] || fail "wine is missing: run scripts/install-deps.sh windows"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LC_ALL=C.UTF-8
# Wine's own services of a prefix (the desktop process, the clipboard's bridge) keep the display
# they started on: they must start afresh on this test's display and end with it.
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
"$wineserver" -k 2>/dev/null
"$wineserver" -w 2>/dev/null
unset QT_QPA_PLATFORM QT_PLUGIN_PATH WINEPATH

# shellcheck source=../../scripts/virtual-display.sh
. "$here/../../scripts/virtual-display.sh"
cleanup() {
  "$wine" taskkill /f /im tavrelo.exe >/dev/null 2>&1
  "$wineserver" -k 2>/dev/null
  "$wineserver" -w 2>/dev/null
  stop_virtual_display
}
trap cleanup EXIT
start_virtual_display || fail "no free display among :90 to :99"

wait_for() {
  local what=$1
  shift
  for _ in $(seq 300); do
    "$@" && return 0
    sleep 0.1
  done
  fail "$what"
}

# The user's folders, as Unix paths inside the prefix.
unix_folder() { "$wine" winepath -u "$("$wine" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')" 2>/dev/null; }
local_app_data=$(unix_folder LOCALAPPDATA)
app_data=$(unix_folder APPDATA)
[ -d "$local_app_data" ] && [ -d "$app_data" ] || fail "the prefix has no user folders"
installed=$local_app_data/Programs/Tavrelo
settings=$local_app_data/tavrelo/tavrelo.xml
shortcut="$app_data/Microsoft/Windows/Start Menu/Programs/Tavrelo.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrelo'
registered() { "$wine" reg query "$key" >/dev/null 2>&1; }

install() {
  "$wine" "$setup" /S || fail "setup.exe /S ended with status $?"
  [ -x "$installed/tavrelo.exe" ] || fail "no tavrelo.exe in $installed"
}
# The uninstaller hands over to a copy of itself (Un.exe in a temporary folder) and returns at
# once: its copy is waited for.
uninstaller_ended() { ! pgrep -f 'Un\.exe /S' >/dev/null; }
uninstall() {
  "$wine" "$installed/uninstall.exe" /S || fail "uninstall.exe /S ended with status $?"
  wait_for "the uninstaller did not end" uninstaller_ended
  [ ! -e "$installed" ] || fail "the uninstaller left $(find "$installed" | head -n3 | tr '\n' ' ')"
  ! registered || fail "the uninstaller left its registration"
}

step "a silent install for this user"
rm -rf "$local_app_data/tavrelo"
install
[ -f "$shortcut" ] || fail "no Start menu entry"
registered || fail "the uninstaller is not registered"
cmp -s "$settings" "$installed/example/tavrelo.xml" || fail "the example is not in the user's folder"
[ ! -e "$installed/tavrelo.xml" ] || fail "a settings file lies beside the installed program"
echo "ok: installed into $installed, Start menu entry, the example in the user's folder"

step "the installed programs find the example"
listing=$("$wine" "$installed/tavrelo-cli.exe" items 2>&1 | tr -d '\r')
[ "$(printf '%s\n' "$listing" | wc -l)" -eq 6 ] || fail "tavrelo-cli.exe items printed '$listing'"
"$wine" "$installed/tavrelo.exe" >/dev/null 2>&1 &
palette_pid=$!
wid=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tavrelo ver1\.0\.0$' | head -n1)
[ -n "$wid" ] || fail "the installed palette showed no window captioned 'Tavrelo ver1.0.0'"
# Closed as its close box would, so that it gives up its lock: what remains is the installer's.
python3 "$here/../e2e/close_window.py" "$wid" || fail "could not close the palette"
palette_ended() { ! kill -0 "$palette_pid" 2>/dev/null; }
wait_for "the installed palette did not end" palette_ended
echo "ok: the palette and tavrelo-cli.exe read the example's six items"

step "an uninstall or an update while the palette runs changes nothing"
"$wine" "$installed/tavrelo.exe" >/dev/null 2>&1 &
palette_pid=$!
wid=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tavrelo ver1\.0\.0$' | head -n1)
[ -n "$wid" ] || fail "the installed palette showed no window"
files_before=$(cd "$installed" && find . | sort)
"$wine" "$installed/uninstall.exe" /S || fail "uninstall.exe /S ended with status $?"
wait_for "the uninstaller did not give up while the palette ran" uninstaller_ended
[ "$(cd "$installed" && find . | sort)" = "$files_before" ] || fail "the uninstaller removed files of a running palette"
registered || fail "the uninstaller unregistered a running palette"
status=0
"$wine" "$setup" /S || status=$?
[ "$status" -eq 2 ] || fail "an update over the running palette ended with status $status, expected 2"
[ "$(cd "$installed" && find . | sort)" = "$files_before" ] || fail "an update changed files of a running palette"
python3 "$here/../e2e/close_window.py" "$wid" || fail "could not close the palette"
wait_for "the installed palette did not end" palette_ended
echo "ok: the uninstaller and an update left the running palette whole"

step "a silent uninstall leaves nothing"
uninstall
[ ! -e "$shortcut" ] || fail "the Start menu entry stays"
[ ! -e "$local_app_data/tavrelo" ] || fail "the example stays in the user's folder"
# The temporary folder holds the palette's lock files and other programs' files, not the installer's.
left=$(find "$WINEPREFIX/drive_c" -path "*/Temp" -prune -o -iname '*tavrelo*' -print 2>/dev/null)
[ -z "$left" ] || fail "left behind: $left"
"$wineserver" -k 2>/dev/null
"$wineserver" -w 2>/dev/null
! grep -qi tavrelo "$WINEPREFIX/user.reg" || fail "the registry keeps $(grep -i tavrelo "$WINEPREFIX/user.reg" | head -n1)"
echo "ok: no file and no registry entry of Tavrelo's is left"

step "a settings file of the user's own is never overwritten nor removed"
mkdir -p "$(dirname "$settings")"
printf '<myItem><DataSetting><Title>Mine</Title></DataSetting></myItem>' >"$settings"
mine=$(sha256sum "$settings")
install
[ "$(sha256sum "$settings")" = "$mine" ] || fail "the installer overwrote the user's settings file"
install
[ "$(sha256sum "$settings")" = "$mine" ] || fail "a second install overwrote the user's settings file"
uninstall
[ "$(sha256sum "$settings" 2>/dev/null)" = "$mine" ] || fail "the uninstaller removed the user's settings file"
echo "ok: the user's file stays as it was through two installs and an uninstall"

step "an example the user has edited stays"
rm -rf "$local_app_data/tavrelo"
install
printf '\r\n<!-- mine -->' >>"$settings"
edited=$(sha256sum "$settings")
uninstall
[ "$(sha256sum "$settings" 2>/dev/null)" = "$edited" ] || fail "the uninstaller removed the edited example"
rm -rf "$local_app_data/tavrelo"
echo "ok: the edited example stays"

echo "PASS: the installer under wine"
