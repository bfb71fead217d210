#!/usr/bin/env python3
"""Timing probes on the X display in $DISPLAY, polling in-process so that no process start
blurs the figures.

  xprobe.py shown            prints "ready", reads a process id from standard input, waits until
                             a window of that process is mapped and viewable and prints the time
                             then, in seconds since the epoch (start the probe first, so that its
                             own start-up does not count)
  xprobe.py click            clicks button 1 where the pointer is and waits until the CLIPBOARD
                             selection changes owner; prints the milliseconds
  xprobe.py owned KEYS       presses KEYS (such as ctrl+alt+1) as a keyboard would and waits until
                             the CLIPBOARD selection changes owner; prints the milliseconds
  xprobe.py pasted KEYS FILE N
                             presses KEYS and waits until FILE holds N bytes; prints the
                             milliseconds
"""
import ctypes
import os
import sys
import time

IS_VIEWABLE = 2
XA_CARDINAL = 6
TIMEOUT_S = 20

c_ulong_p = ctypes.POINTER(ctypes.c_ulong)


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong), ("class_", ctypes.c_int),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, c_ulong_p, c_ulong_p,
                           ctypes.POINTER(c_ulong_p), ctypes.POINTER(ctypes.c_uint)]
x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                     ctypes.POINTER(XWindowAttributes)]
x11.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long,
                                   ctypes.c_long, ctypes.c_int, ctypes.c_ulong, c_ulong_p,
                                   ctypes.POINTER(ctypes.c_int), c_ulong_p, c_ulong_p,
                                   ctypes.POINTER(ctypes.c_void_p)]
x11.XGetSelectionOwner.restype = ctypes.c_ulong
x11.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XFree.argtypes = [ctypes.c_void_p]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XFlush.argtypes = [ctypes.c_void_p]
xtst = ctypes.cdll.LoadLibrary("libXtst.so.6")
xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")


def window_pid(window, pid_atom):
    actual_type, actual_format = ctypes.c_ulong(), ctypes.c_int()
    count, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
    status = x11.XGetWindowProperty(display, window, pid_atom, 0, 1, 0, XA_CARDINAL,
                                    ctypes.byref(actual_type), ctypes.byref(actual_format),
                                    ctypes.byref(count), ctypes.byref(after), ctypes.byref(data))
    pid = None
    if status == 0 and data.value:
        if count.value == 1:
            pid = ctypes.cast(data, c_ulong_p)[0]
        x11.XFree(data)
    return pid


def viewable_window_of(pid, pid_atom):
    root = x11.XDefaultRootWindow(display)
    root_ret, parent_ret = ctypes.c_ulong(), ctypes.c_ulong()
    children, count = c_ulong_p(), ctypes.c_uint()
    if not x11.XQueryTree(display, root, ctypes.byref(root_ret), ctypes.byref(parent_ret),
                          ctypes.byref(children), ctypes.byref(count)):
        return False
    found = False
    attributes = XWindowAttributes()
    for i in range(count.value):
        window = children[i]
        if window_pid(window, pid_atom) == pid and \
                x11.XGetWindowAttributes(display, window, ctypes.byref(attributes)) and \
                attributes.map_state == IS_VIEWABLE:
            found = True
            break
    if children:
        x11.XFree(children)
    return found


def shown():
    pid_atom = x11.XInternAtom(display, b"_NET_WM_PID", 0)
    print("ready", flush=True)
    pid = int(sys.stdin.readline())
    start = time.perf_counter()
    while not viewable_window_of(pid, pid_atom):
        if time.perf_counter() - start > TIMEOUT_S:
            sys.exit(f"process {pid} showed no window")
        time.sleep(0.005)
    print(f"{time.time():.6f}")


def wait_until(done, what):
    start = time.perf_counter()
    while not done():
        if time.perf_counter() - start > TIMEOUT_S:
            sys.exit(what)
        time.sleep(0.0005)


def owner_change_ms(act, what):
    clipboard = x11.XInternAtom(display, b"CLIPBOARD", 0)
    owner = x11.XGetSelectionOwner(display, clipboard)
    start = time.perf_counter()
    act()
    wait_until(lambda: x11.XGetSelectionOwner(display, clipboard) != owner, what)
    return (time.perf_counter() - start) * 1000


def click():
    def press_and_release():
        xtst.XTestFakeButtonEvent(display, 1, 1, 0)
        xtst.XTestFakeButtonEvent(display, 1, 0, 0)
        x11.XFlush(display)
    print(round(owner_change_ms(press_and_release, "the click did not change the clipboard")))


KEY_NAMES = {"ctrl": b"Control_L", "alt": b"Alt_L", "shift": b"Shift_L", "super": b"Super_L"}


def press_keys(keys):
    codes = [x11.XKeysymToKeycode(display, x11.XStringToKeysym(KEY_NAMES.get(k, k.encode())))
             for k in keys.split("+")]
    for code in codes:
        xtst.XTestFakeKeyEvent(display, code, 1, 0)
    for code in reversed(codes):
        xtst.XTestFakeKeyEvent(display, code, 0, 0)
    x11.XFlush(display)


def owned(keys):
    print(round(owner_change_ms(lambda: press_keys(keys), "the key did not change the clipboard"), 1))


def pasted(keys, path, size):
    start = time.perf_counter()
    press_keys(keys)
    wait_until(lambda: os.path.exists(path) and os.path.getsize(path) >= size, "the paste did not arrive")
    print(round((time.perf_counter() - start) * 1000, 1))


if __name__ == "__main__":
    if len(sys.argv) == 2 and sys.argv[1] == "shown":
        shown()
    elif len(sys.argv) == 2 and sys.argv[1] == "click":
        click()
    elif len(sys.argv) == 3 and sys.argv[1] == "owned":
        owned(sys.argv[2])
    elif len(sys.argv) == 5 and sys.argv[1] == "pasted":
        pasted(sys.argv[2], sys.argv[3], int(sys.argv[4]))
    else:
        sys.exit(__doc__)
