# Sourced by the scripts that need a virtual X display of their own.
# start_virtual_display [WxHxD]: starts Xvfb on the first free display of :90 to :99, waits until
# it answers, exports DISPLAY and sets xvfb_pid. Returns 1 when no display could be started.
# stop_virtual_display: ends that Xvfb.
# display_is_ours <n> <pid>: the server answering on :n is the Xvfb of that process id.
# openbox_owns_screen <pid>: the openbox of that process id manages the display in $DISPLAY.
# start_openbox <log>: starts openbox on $DISPLAY, waits until it manages the screen and sets
# wm_pid. Returns 1 when it did not come up.

xvfb_pid=

# Two scripts that start at the same moment may both find :n free; the server that loses the
# race ends, but until it has, the winner's answers to xdpyinfo look like its own. The lock file
# names the server that holds the number.
display_is_ours() {
  local holder
  holder=$(tr -d ' \n' <"/tmp/.X$1-lock" 2>/dev/null) || return 1
  [ "$holder" = "$2" ] && kill -0 "$2" 2>/dev/null
}

# openbox names its process on the root window once it manages the screen. The root window can
# still show an openbox that has just ended, and been reaped, until the server has read the rest
# of what it sent: a window mapped then would be lost with it.
openbox_owns_screen() {
  [ "$(xprop -root _OPENBOX_PID 2>/dev/null | sed -n 's/.* = //p')" = "$1" ]
}

start_virtual_display() {
  local screen=${1:-1280x1024x24} n
  for n in 90 91 92 93 94 95 96 97 98 99; do
    [ -e "/tmp/.X$n-lock" ] && continue
    # -noreset: by default the server resets whenever its last client leaves, which drops what
    # clients put on the root window (the accessibility bus's address) and refuses connections
    # for a moment.
    Xvfb ":$n" -nolisten tcp -noreset -screen 0 "$screen" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      if xdpyinfo -display ":$n" >/dev/null 2>&1 && display_is_ours "$n" "$xvfb_pid"; then
        export DISPLAY=":$n"
        unset WAYLAND_DISPLAY
        return 0
      fi
      # Another server took the number first: try the next one.
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
  done
  return 1
}

stop_virtual_display() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
  fi
}

start_openbox() {
  local log=$1
  # Now and then openbox finds a display that has just started unable to open; it is asked again.
  for _ in 1 2 3; do
    openbox >"$log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 50); do
      openbox_owns_screen "$wm_pid" && return 0
      kill -0 "$wm_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$wm_pid" 2>/dev/null
    wait "$wm_pid" 2>/dev/null
  done
  wm_pid=
  return 1
}
