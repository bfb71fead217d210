#!/usr/bin/env bash
# End-to-end test of the Windows program under wine, on a virtual X display with openbox: the
# folder ready to run beside a code page 932 settings file; text put on the clipboard with xclip
# goes through wine's clipboard bridge to the palette and its result comes back; a fixed-text
# item, the built-in button, Ctrl+Z, global keys with a paste into wine's Notepad, keep-on-top,
# a second start, a killed palette's lock, the link handed to the shell, the placement at the
# bottom right; then tavrelo-cli.exe.
# Usage: e2e_wine.sh <folder ready to run>   (WINEPREFIX: a prepared prefix of the caller's)
set -uo pipefail

stage=${1:?usage: $0 <folder ready to run>}
here=$(cd "$(dirname "$0")" && pwd)
title=TavreloWine
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "--- $*"; }

wine=
for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
  if [ -n "$candidate" ] && [ -x "$candidate" ]; then wine=$candidate; break; fi
done
[ -n "$wine" ] || fail "wine is missing: run scripts/install-deps.sh windows"
for tool in Xvfb xdpyinfo xdotool xclip xprop xwininfo openbox iconv; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh windows"
done
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

work=$(mktemp -d)
wm_pid=
cleanup() {
  "$wine" taskkill /f /im tavrelo.exe >/dev/null 2>&1
  "$wineserver" -k 2>/dev/null
  "$wineserver" -w 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  stop_virtual_display
  rm -rf "$work"
}
trap cleanup EXIT

# poll COMMAND...: true as soon as the command is, within 10 s.
poll() {
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
# wait_for DESCRIPTION COMMAND...: polls the command; fails with the description.
wait_for() {
  local what=$1
  shift
  poll "$@" || fail "$what"
}

step "a virtual X display with openbox"
start_virtual_display || fail "no free display among :90 to :99"
openbox >/dev/null 2>&1 &
wm_pid=$!
wait_for "openbox did not start" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'
echo "display $DISPLAY"

step "the folder ready to run, beside a code page 932 settings file"
app=$work/app
cp -r "$stage" "$app"
iconv -f UTF-8 -t CP932 >"$app/tavrelo.xml" <<XML
<?xml version="1.0" encoding="Shift_JIS"?>
<myItem>
	<ColorSetting><Base>E8F0F8</Base><Back>C0D8F0</Back></ColorSetting>
	<DataSetting>
		<Title>$title</Title>
		<Link>https://example.org/tavrelo?q=①</Link>
		<Version>true</Version>
		<Item1>
			<Name>日付をドット区切りに</Name>
			<Reg>(\d{4})-(\d{2})-(\d{2})</Reg>
			<Replace>\$1.\$2.\$3</Replace>
			<Key>Ctrl+Alt+1</Key>
		</Item1>
		<Item2>
			<Name>署名①</Name>
			<Data>--
山田 太郎</Data>
		</Item2>
		<Item3>
			<Name>貼り付け</Name>
			<Reg>a</Reg>
			<Replace>b</Replace>
			<Key>Ctrl+Alt+3</Key>
			<Paste>true</Paste>
			<Restore>true</Restore>
		</Item3>
	</DataSetting>
</myItem>
XML
checksum=$(sha256sum "$app/tavrelo.xml")
# The shell's "open" of an address ends in the desktop's handler, which wine asks for through
# xdg-open: a stand-in records what it was asked to open.
mkdir "$work/bin"
cat >"$work/bin/xdg-open" <<SH
#!/bin/sh
printf '%s\n' "\$1" >>"$work/opened"
SH
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"

clip_set() { printf '%s' "$1" | xclip -selection clipboard -t UTF8_STRING -i; }
clip_get() { xclip -selection clipboard -t UTF8_STRING -o 2>/dev/null | tr -d '\r'; }
clipboard_is() { [ "$(clip_get)" = "$1" ]; }
expect_clipboard() {
  wait_for "$2: the clipboard holds '$(clip_get)', expected '$1'" clipboard_is "$1"
  echo "ok: $2"
}

palette_pid= wid=
start_palette() {
  (cd "$app" && exec "$wine" "$app/tavrelo.exe") >/dev/null 2>&1 &
  palette_pid=$!
  wid=$(timeout 60 xdotool search --sync --onlyvisible --name "^$title ver1.0.0\$" | head -n1)
  [ -n "$wid" ] || fail "no window captioned '$title ver1.0.0' appeared"
}
# The processes that run this test's tavrelo.exe (wine's tasklist lists none).
palettes_running() { pgrep -fc -- "$app/tavrelo.exe" || true; }

step "starting the palette"
start_palette
echo "ok: window $wid, caption and Japanese names read from code page 932"

# Windows counts no side or bottom border into a window's frame (Windows 10 draws them invisible),
# so the inside's corner is the frame's corner there. The border openbox draws around a window of
# wine's is not known to a Windows program: the inside is what can be checked.
step "placement: the frame's corner 100 twips from the right and 900 from the bottom"
read -r screen_w screen_h <<<"$(xdpyinfo | awk '/dimensions:/{split($2, d, "x"); print d[1], d[2]}')"
measure() {
  eval "$(xwininfo -id "$wid" | awk '/Absolute upper-left X/{print "X="$NF} /Absolute upper-left Y/{print "Y="$NF}
                                     /Width:/{print "WIDTH="$NF} /Height:/{print "HEIGHT="$NF}')"
}
placed() {
  measure
  right=$((screen_w - (X + WIDTH))) bottom=$((screen_h - (Y + HEIGHT)))
  [ "$right" -eq 7 ] && [ "$bottom" -eq 60 ]
}
poll placed || fail "the inside ends $right px from the right and $bottom px from the bottom"
echo "ok: the inside ends 7 and 60 px from the screen's edges"

# Design layout in pixels inside the window: the built-in button at 14,20, the item buttons from
# 12,44 down in steps of 15, the check box at 164,4, the link at 158,30.
click_at() { xdotool mousemove --window "$wid" "$1" "$2" sleep 0.1 click 1; }

step "rewriting the clipboard through wine's clipboard bridge"
clip_set "due 2024-05-06 and 1999-12-31"
expect_clipboard "due 2024-05-06 and 1999-12-31" "clipboard set by xclip"
click_at 90 $((44 + 8))
expect_clipboard "due 2024.05.06 and 1999.12.31" "the first item rewrote the dates and the result came back"

step "Ctrl+Z puts the text back"
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || xdotool windowfocus --sync "$wid"
xdotool key --clearmodifiers ctrl+z
expect_clipboard "due 2024-05-06 and 1999-12-31" "Ctrl+Z restored the text before the button"

step "a fixed-text item"
click_at 90 $((44 + 15 + 8))
expect_clipboard $'--\n山田 太郎' "the second item put its fixed text"

step "the built-in button"
clip_set "get user name"
expect_clipboard "get user name" "clipboard set by xclip"
click_at 80 27
expect_clipboard "getUserName" "the built-in button joined the words"

# Wine hands a hot key to the program only while one of wine's windows has the focus: Notepad's
# here, the window the user types in.
step "global keys through RegisterHotKey, with wine's Notepad in front"
"$wine" notepad >/dev/null 2>&1 &
notepad=$(timeout 60 xdotool search --sync --onlyvisible --name 'Notepad' | head -n1)
[ -n "$notepad" ] || fail "wine's Notepad did not appear"
xdotool windowactivate --sync "$notepad"
clip_set "on 2024-01-05"
expect_clipboard "on 2024-01-05" "clipboard set by xclip"
xdotool key ctrl+alt+1
expect_clipboard "on 2024.01.05" "Ctrl+Alt+1 rewrote the dates"
[ "$(xdotool getactivewindow)" = "$notepad" ] || fail "the key took the focus from Notepad"
clip_set "banana"
expect_clipboard "banana" "clipboard set by xclip"
xdotool key ctrl+alt+3
# SendInput's Ctrl+V pastes the result, and the clipboard is given back once Notepad has read it,
# within milliseconds: after two seconds a result that was not given back would still be there.
sleep 2
clipboard_is "banana" || fail "the clipboard holds '$(clip_get)' after the paste, expected it given back"
echo "ok: the clipboard given back after the paste"
xdotool key --clearmodifiers ctrl+a ctrl+c
expect_clipboard "bbnbnb" "Notepad received the pasted result"
"$wine" taskkill /f /im notepad.exe >/dev/null 2>&1

step "keep-on-top as the window manager sees it"
above() { xprop -id "$wid" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
not_above() { ! above; }
click_at 170 11
wait_for "_NET_WM_STATE_ABOVE is not set" above
echo "ok: _NET_WM_STATE_ABOVE set"
click_at 170 11
wait_for "_NET_WM_STATE_ABOVE stays" not_above
echo "ok: _NET_WM_STATE_ABOVE cleared"

step "the link goes to the shell"
click_at 169 36
opened_is() { [ "$(cat "$work/opened" 2>/dev/null)" = "$1" ]; }
wait_for "the shell was asked to open '$(cat "$work/opened" 2>/dev/null)'" opened_is "https://example.org/tavrelo?q=①"
echo "ok: the shell opened the link"

step "a second start ends at once"
start=$(date +%s%N)
(cd "$app" && timeout 30 "$wine" "$app/tavrelo.exe") >/dev/null 2>&1
status=$?
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$status" -eq 0 ] || fail "the second start ended with status $status"
[ "$(xdotool search --onlyvisible --name "^$title" | wc -l)" -eq 1 ] || fail "more than one palette window is shown"
echo "ok: the second start ended with status 0 after $elapsed ms; one window"

step "a killed palette's lock does not block the next start"
"$wine" taskkill /f /im tavrelo.exe >/dev/null 2>&1
gone() { ! xdotool search --onlyvisible --name "^$title" >/dev/null 2>&1; }
wait_for "the killed palette's window stays" gone
temp=$("$wine" winepath -u "$("$wine" cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')" 2>/dev/null)
ls "$temp"/tavrelo-*.lock >/dev/null 2>&1 || fail "the killed palette left no lock file in $temp"
start_palette
echo "ok: a new start over the killed palette's lock file shows its window"

no_palette() { [ "$(palettes_running)" -eq 0 ]; }
step "closing the window ends the process"
python3 "$here/../e2e/close_window.py" "$wid" || fail "could not ask window $wid to close"
wait_for "tavrelo.exe still runs after its window was closed" no_palette
echo "ok: the process ended"

# A window destroyed from outside (xdotool windowclose) is not tried: wine drops its X window and
# tells the Windows program nothing, and on Windows no other program can destroy it.
[ "$(sha256sum "$app/tavrelo.xml")" = "$checksum" ] || fail "the settings file changed"
echo "ok: the settings file is unchanged"

step "tavrelo-cli.exe through pipes"
cli() { (cd "$app" && "$wine" "$app/tavrelo-cli.exe" "$@"); }
listing=$(cli items | tr -d '\r')
[ "$listing" = $'0\t日付をドット区切りに\treplace\tCtrl+Alt+1\n1\t署名①\ttext\n2\t貼り付け\treplace\tCtrl+Alt+3' ] ||
  fail "items printed '$listing'"
echo "ok: items lists the three buttons and their keys in UTF-8"
got=$(printf '会議 2024-05-01\r\n締切 2024-06-30' | cli apply 0 | od -An -tx1 | tr -d ' \n')
want=$(printf '会議 2024.05.01\r\n締切 2024.06.30' | od -An -tx1 | tr -d ' \n')
[ "$got" = "$want" ] || fail "apply through a pipe gave the bytes $got"
echo "ok: apply rewrote UTF-8 from a pipe byte for byte, CR LF kept"
printf '<myItem><DataSetting><Item1><Name>x</Name><Reg>(a</Reg></Item1></DataSetting></myItem>' >"$work/broken.xml"
report=$(cli check --settings "Z:${work//\//\\}\\broken.xml" | tr -d '\r')
status=$?
case "$report" in *"is not a valid pattern"*) ;; *) fail "check reported '$report'" ;; esac
echo "ok: check found the broken pattern"
# On a terminal wine gives the program a console, which takes characters (WriteConsoleW) and
# shows them in the terminal's UTF-8; bytes written to it would be read in the console's code page.
command -v script >/dev/null || fail "script is missing: run scripts/install-deps.sh windows"
console=$(cd "$app" && script -qc "'$wine' '$app/tavrelo-cli.exe' items" /dev/null | tr -d '\r')
case "$console" in *"日付をドット区切りに"*"署名①"*) ;; *) fail "items on a console showed '$console'" ;; esac
echo "ok: items on a console shows the Japanese names"

echo "PASS: Windows end-to-end under wine"
