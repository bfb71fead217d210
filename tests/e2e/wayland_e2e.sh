#!/usr/bin/env bash
# End-to-end test of the palette on a real Wayland compositor run headless: GNOME's mutter, KDE's
# kwin or sway, with the palette under XWayland as the desktop entry starts it, or natively on
# Wayland. It checks the caption, a click that rewrites the clipboard, keep-on-top where the
# compositor offers it, the corner where the palette can be placed, and a second start that ends
# at once and brings the running palette forward. A compositor that cannot start here is a skip
# (exit 77) with the reason.
# Usage: wayland_e2e.sh mutter|kwin|sway xwayland|native <path of the built tavrelo>
set -uo pipefail

compositor=${1:?usage: $0 mutter|kwin|sway xwayland|native <tavrelo executable>}
mode=${2:?usage: $0 mutter|kwin|sway xwayland|native <tavrelo executable>}
program=${3:?usage: $0 mutter|kwin|sway xwayland|native <tavrelo executable>}
here=$(cd "$(dirname "$0")" && pwd)
title=TavreloWayland
width=1280 height=1024
# The outer frame's bottom-right corner as designed: 7 pixels from the right, 60 from the bottom.
corner="$((width - 7)),$((height - 60))"

fail() { echo "FAIL ($compositor, $mode): $*" >&2; exit 1; }
skip() { echo "SKIP ($compositor, $mode): $*"; exit 77; }
step() { echo "--- $*"; }

# waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  "$@"
}

case "$compositor" in
  mutter) tools=(mutter Xwayland) ;;
  kwin) tools=(kwin_wayland Xwayland) ;;
  sway) tools=(sway swaymsg Xwayland setpriv) ;;
  *) fail "no such compositor: $compositor" ;;
esac
case "$mode" in
  xwayland) tools+=(xdotool xclip xprop xwininfo) ;;
  native) tools+=(wl-copy wl-paste) ;;
  *) fail "no such mode: $mode" ;;
esac
for tool in "${tools[@]}" dbus-daemon python3; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh test"
done
[ "$mode" = native ] && [ ! -e /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so ] &&
  [ -z "$(find /usr/lib -path '*qt6/plugins/platforms/libqwayland-generic.so' 2>/dev/null)" ] &&
  fail "Qt's Wayland platform is missing: run scripts/install-deps.sh test"

work=$(mktemp -d)
chmod 755 "$work"
compositor_pid= bus_pid= palette_pid= launcher_pid=
cleanup() {
  for pid in "$launcher_pid" "$palette_pid" "$compositor_pid"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null
  [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

# sway refuses to run as root: then the whole session runs as nobody, in folders of its own.
as_user=()
if [ "$compositor" = sway ] && [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
runtime="$work/runtime"
mkdir -m 700 "$runtime"
mkdir "$work/app" "$work/home"
[ ${#as_user[@]} -gt 0 ] && chown 65534:65534 "$runtime" "$work/app" "$work/home"
session_env=(env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$runtime" LANG=C.UTF-8)
# A sanitizer build's options (scripts/sanitize.sh) go into the session too.
for variable in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
  [ -n "${!variable:-}" ] && session_env+=("$variable=${!variable}")
done
# session COMMAND...: runs it in the compositor's session, as its user.
session() { "${as_user[@]}" "${session_env[@]}" "$@"; }
# in_background COMMAND...: the same in the background, as the process $! names (setpriv and env
# replace themselves with the command), so that it can be ended.
in_background() { exec "${as_user[@]}" "${session_env[@]}" "$@"; }

step "$compositor headless at ${width}x$height"
{ read -r bus_address; read -r bus_pid; } < <(session dbus-daemon --session --fork --print-address=1 --print-pid=1)
[ -n "$bus_pid" ] || fail "no session bus"
session_env+=(DBUS_SESSION_BUS_ADDRESS="$bus_address")
case "$compositor" in
  mutter)
    (in_background mutter --headless --wayland --wayland-display wayland-test --virtual-monitor "${width}x$height" \
      >"$work/compositor.log" 2>&1) &
    compositor_pid=$!
    wait_for 300 grep -q 'Using public X11 display' "$work/compositor.log" ||
      skip "mutter did not start: $(tail -n 5 "$work/compositor.log")"
    # Its XWayland takes clients with the key in the file it writes into the runtime folder.
    display=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$work/compositor.log" | head -n1)
    session_env+=(WAYLAND_DISPLAY=wayland-test DISPLAY="$display" XAUTHORITY="$(ls "$runtime"/.mutter-Xwaylandauth.* | head -n1)")
    ;;
  kwin)
    # The packaged binary carries a file capability that a container refuses; a copy has none.
    # Without permission checks its fake input, which the clicks use, is open to every client.
    cp /usr/bin/kwin_wayland "$work/kwin_wayland"
    (in_background KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 "$work/kwin_wayland" --virtual --xwayland --width "$width" \
      --height "$height" --socket wayland-test --exit-with-session "sh -c 'echo \$DISPLAY >$work/display; exec sleep 100000'" \
      >"$work/compositor.log" 2>&1) &
    compositor_pid=$!
    wait_for 300 test -s "$work/display" || skip "kwin did not start: $(tail -n 5 "$work/compositor.log")"
    display=$(cat "$work/display")
    session_env+=(WAYLAND_DISPLAY=wayland-test DISPLAY="$display")
    ;;
  sway)
    cat >"$work/sway.config" <<CONFIG
output HEADLESS-1 resolution ${width}x$height
xwayland enable
# A request to come forward focuses a window on a visible workspace, as most desktops do.
focus_on_window_activation smart
exec sh -c 'printf "%s\n%s\n" "\$DISPLAY" "\$SWAYSOCK" >$work/home/session.tmp && mv $work/home/session.tmp $work/home/session'
CONFIG
    (in_background WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c "$work/sway.config" \
      >"$work/compositor.log" 2>&1) &
    compositor_pid=$!
    wait_for 300 test -s "$work/home/session" || skip "sway did not start: $(tail -n 5 "$work/compositor.log")"
    { read -r display; read -r swaysock; } <"$work/home/session"
    session_env+=(WAYLAND_DISPLAY="$(basename "$(ls "$runtime"/wayland-* | grep -v lock | head -n1)")" DISPLAY="$display"
                  SWAYSOCK="$swaysock")
    ;;
esac
kill -0 "$compositor_pid" 2>/dev/null || skip "$compositor ended at once: $(tail -n 5 "$work/compositor.log")"
echo "ok: $compositor runs"

cp "$program" "$work/app/palette"
cat >"$work/app/palette.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<myItem><ColorSetting><Base>E8F0F8</Base><Title>204060</Title><Label>0000C0</Label><Back>C0D8F0</Back></ColorSetting>
<DataSetting><Title>$title</Title>
	<Item1><Name>空白を削除</Name><Reg> +</Reg></Item1>
	<Item2><Name>固定文</Name><Data>固定文です</Data></Item2>
</DataSetting></myItem>
XML
[ ${#as_user[@]} -gt 0 ] && chown -R 65534:65534 "$work/app"
# As the desktop entry starts it, or natively.
platform='xcb;wayland'
[ "$mode" = native ] && platform=wayland


wayland_client() { session python3 "$here/wayland_client.py" "$@"; }
if [ "$mode" = xwayland ]; then
  clip_set() { printf '%s' "$1" | session xclip -selection clipboard -t UTF8_STRING -i; }
  clip_get() { session xclip -selection clipboard -t UTF8_STRING -o 2>/dev/null; }
else
  clip_set() { printf '%s' "$1" | session wl-copy; }
  clip_get() { session timeout 5 wl-paste --no-newline 2>/dev/null; }
fi
clip_is() { [ "$(clip_get)" = "$1" ]; }

# sway's view of the palette: container id, focus, and the inside's and the outer frame's
# rectangles, from its IPC socket (or from a tree saved in the file $1).
sway_window() {
  if [ -n "${1:-}" ]; then cat "$1"; else session swaymsg -t get_tree -r; fi | python3 -c '
import json, sys
pid, title = int(sys.argv[1]), sys.argv[2]
def walk(node):
    if node.get("pid") == pid and node.get("name") == title:
        return node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        found = walk(child)
        if found:
            return found
node = walk(json.load(sys.stdin))
if not node:
    sys.exit(1)
r, w, d = node["rect"], node["window_rect"], node["deco_rect"]
print(node["id"], node["focused"], node["type"], r["x"] + w["x"], r["y"] + w["y"],
      r["x"], r["y"] - d["height"], r["x"] + r["width"], r["y"] + r["height"])' "$palette_pid" "$title"
}

# kwin's view, from a script it runs: caption, place of the inside, outer frame, keep-above, active.
kwin_window() {
  local script="$work/query.js" id
  cat >"$script" <<JS
for (const w of workspace.clientList()) {
  if (w.pid === $palette_pid && w.caption === "$title")
    print("TAVRELO " + [w.bufferGeometry.x, w.bufferGeometry.y, w.frameGeometry.x, w.frameGeometry.y,
      w.frameGeometry.x + w.frameGeometry.width, w.frameGeometry.y + w.frameGeometry.height, w.keepAbove,
      workspace.activeClient === w].join(" "));
}
JS
  id="query$RANDOM"
  session gdbus call --session --dest org.kde.KWin --object-path /Scripting \
    --method org.kde.kwin.Scripting.loadScript "$script" "$id" >/dev/null || return 1
  session gdbus call --session --dest org.kde.KWin --object-path /Scripting --method org.kde.kwin.Scripting.start >/dev/null
  sleep 0.3
  session gdbus call --session --dest org.kde.KWin --object-path /Scripting \
    --method org.kde.kwin.Scripting.unloadScript "$id" >/dev/null
  grep -a 'TAVRELO ' "$work/compositor.log" | tail -n1 | sed 's/.*TAVRELO //'
}

step "the palette shows with its caption ($platform)"
(cd / && in_background QT_QPA_PLATFORM="$platform" "$work/app/palette" >"$work/palette.log" 2>&1) &
palette_pid=$!
if [ "$mode" = xwayland ]; then
  wid=$(session timeout 20 xdotool search --sync --all --onlyvisible --pid "$palette_pid" --name "^$title\$" | head -n1)
  [ -n "$wid" ] || fail "no palette window with the caption $title on XWayland $display: $(cat "$work/palette.log")"
  echo "ok: X11 window $wid captioned $title on XWayland $display"
elif [ "$compositor" = sway ]; then
  wait_for 200 sway_window >/dev/null || fail "sway has no window $title of the palette: $(cat "$work/palette.log")"
  echo "ok: sway manages a native window captioned $title: $(sway_window)"
elif [ "$compositor" = kwin ]; then
  known() { [ -n "$(kwin_window)" ]; }
  wait_for 30 known
  [ -n "$(kwin_window)" ] || fail "kwin has no window $title of the palette: $(cat "$work/palette.log")"
  echo "ok: kwin manages a native window captioned $title"
else
  # The palette names its window beside its lock once it shows; mutter tells no program more.
  published() { compgen -G "$runtime/tavrelo-*.window" >/dev/null; }
  wait_for 100 published || fail "the palette did not show: $(cat "$work/palette.log")"
  echo "ok: the palette shows (its window published beside its lock); its caption is not seen: mutter tells no program which native windows it shows"
fi
# A picture to look at (grim speaks wlroots' screencopy): TAVRELO_SCREENSHOTS=FOLDER keeps it.
if [ -n "${TAVRELO_SCREENSHOTS:-}" ] && [ "$compositor" = sway ]; then
  sleep 0.5
  session grim "$work/home/palette.png" && cp "$work/home/palette.png" "$TAVRELO_SCREENSHOTS/$compositor-$mode.png"
fi

# Where the palette's inside stands on the screen, and a click at a point of it.
inside_origin() {
  if [ "$mode" = xwayland ]; then
    session xwininfo -id "$wid" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'
  elif [ "$compositor" = sway ]; then
    sway_window | cut -d' ' -f4-5
  else
    kwin_window | cut -d' ' -f1-2
  fi
}
click_inside() {
  if [ "$mode" = xwayland ]; then
    session xdotool mousemove --window "$wid" "$1" "$2" click 1
  else
    read -r x y < <(inside_origin)
    wayland_client click $((x + $1)) $((y + $2)) || return 1
  fi
}

step "a click on an item rewrites the clipboard"
if [ "$compositor" = mutter ] && [ "$mode" = native ]; then
  echo "not checked: mutter tells no program where a native window stands, nor takes a click from one"
else
  clip_set "a  b c"
  wait_for 50 clip_is "a  b c" || fail "the clipboard did not take the text"
  click_inside 90 52 || fail "the click could not be made"
  wait_for 50 clip_is "abc" || fail "the click on 空白を削除 left '$(clip_get)' on the clipboard"
  echo "ok: the click on 空白を削除 turned 'a  b c' into 'abc'"
fi

step "the corner"
case "$compositor-$mode" in
  mutter-native)
    echo "not checked: mutter places native windows itself and tells no program where" ;;
  sway-*)
    at_corner() { [ "$(sway_window | awk '{print $8 "," $9}')" = "$corner" ]; }
    wait_for 50 at_corner
    [ "$(sway_window | awk '{print $8 "," $9}')" = "$corner" ] ||
      fail "sway's frame ends at $(sway_window | awk '{print $8 "," $9}'), not at $corner"
    echo "ok: sway, asked over its socket, put the frame's corner at $corner" ;;
  *-xwayland)
    # The inside's place and size, and the frame that the window manager says it draws around it.
    read -r x y w h < <(session xwininfo -id "$wid" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
      /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
    read -r _ r _ b < <(session xprop -id "$wid" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ',')
    outer="$((x + w + ${r:-0})),$((y + h + ${b:-0}))"
    [ "$outer" = "$corner" ] || fail "the outer frame ends at $outer, not at $corner"
    echo "ok: the outer frame's corner at $corner" ;;
  kwin-native)
    echo "not checked: kwin places native windows itself (Wayland gives a program no say); it stands at $(kwin_window | cut -d' ' -f5-6 | tr ' ' ,)" ;;
esac

step "keep-on-top"
above() { session xprop -id "$wid" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
case "$compositor-$mode" in
  mutter-xwayland|kwin-xwayland)
    click_inside 170 10
    wait_for 50 above || fail "the check box did not set _NET_WM_STATE_ABOVE"
    echo "ok: the check box keeps the palette above (_NET_WM_STATE_ABOVE)" ;;
  *)
    echo "not offered: $compositor has no keep-on-top for this kind of window; the check box's tooltip says the desktop ignores it" ;;
esac

step "a second start ends at once and brings the palette forward"
second() { timeout 10 "${as_user[@]}" "${session_env[@]}" QT_QPA_PLATFORM="$platform" "$work/app/palette"; }
case "$compositor-$mode" in
  sway-*)
    # What sway has focused while the launcher's window is still there.
    tree="$work/home/tree.json"
    focused() { [ "$(sway_window "$tree" | cut -d' ' -f2)" = True ]; }
    # Another window takes the focus, and keeps it when what it starts is not the palette.
    wayland_client launch sh -c "sleep 0.5; swaymsg -t get_tree -r >$tree" >/dev/null 2>&1
    focused && fail "the launcher's window did not take the focus from the palette"
    # Then a launcher starts the palette again with its token.
    out=$(wayland_client launch sh -c "'$work/app/palette' && sleep 0.5 && swaymsg -t get_tree -r >$tree" 2>&1)
    status=$?
    echo "$out"
    grep -q '^started: status 0$' <<<"$out" || fail "the second start did not end with status 0 ($status)"
    focused || fail "the palette did not come forward: sway has the focus elsewhere"
    echo "ok: the second start ended with status 0 and sway focused the palette" ;;
  *-xwayland)
    is_active() { [ "$(session xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //')" = "$(printf '0x%x' "$wid")" ]; }
    session xdotool windowminimize --sync "$wid"
    start=$SECONDS
    second >"$work/second.log" 2>&1 || fail "the second start ended with status $?: $(cat "$work/second.log")"
    [ $((SECONDS - start)) -le 5 ] || fail "the second start took $((SECONDS - start)) s"
    wait_for 100 is_active ||
      fail "the palette is not the active window after the second start"
    echo "ok: the second start ended at once; the minimised palette is back and active" ;;
  mutter-native)
    # Headless, mutter's seat has no keyboard, so nothing shows where the focus goes.
    start=$SECONDS
    second >"$work/second.log" 2>&1 || fail "the second start ended with status $?: $(cat "$work/second.log")"
    [ $((SECONDS - start)) -le 5 ] || fail "the second start took $((SECONDS - start)) s"
    [ -s "$work/second.log" ] && fail "the second start printed: $(cat "$work/second.log")"
    echo "ok: the second start ended at once and silently; whether the palette came forward is not seen here" ;;
  *-native)
    # The launcher keeps the focus when what it starts is not the palette.
    wayland_client launch true >/dev/null 2>&1
    status=$?
    [ "$status" -eq 3 ] || fail "the launcher's control run ended with $status, not 3 (focus kept)"
    out=$(wayland_client launch "$work/app/palette" 2>&1)
    status=$?
    echo "$out"
    grep -q '^started: status 0$' <<<"$out" || fail "the second start did not end with status 0: $out"
    [ "$status" -eq 0 ] || fail "the palette did not come forward: the launcher kept the keyboard focus"
    echo "ok: the second start ended with status 0 and the palette took the focus from the launcher" ;;
esac
kill -0 "$palette_pid" 2>/dev/null || fail "the first palette ended"

echo "PASS: $compositor, $mode"
