#!/usr/bin/env python3
"""Timing probes for global keys on the X display in $DISPLAY, polling in-process so that no
process start blurs the figures. The key is pressed through XTEST, as a keyboard would.

  keyprobe.py owned KEYS          presses KEYS (such as ctrl+alt+1) and waits until the CLIPBOARD
                                  selection changes owner; prints the milliseconds
  keyprobe.py pasted KEYS FILE N  presses KEYS and waits until FILE holds N bytes; prints the
                                  milliseconds
"""
import ctypes
import os
import sys
import time

TIMEOUT_S = 20

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XGetSelectionOwner.restype = ctypes.c_ulong
x11.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XFlush.argtypes = [ctypes.c_void_p]
xtst = ctypes.cdll.LoadLibrary("libXtst.so.6")
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")

NAMES = {"ctrl": b"Control_L", "alt": b"Alt_L", "shift": b"Shift_L", "super": b"Super_L"}


def press(keys):
    codes = [x11.XKeysymToKeycode(display, x11.XStringToKeysym(NAMES.get(k, k.encode())))
             for k in keys.split("+")]
    for code in codes:
        xtst.XTestFakeKeyEvent(display, code, 1, 0)
    for code in reversed(codes):
        xtst.XTestFakeKeyEvent(display, code, 0, 0)
    x11.XFlush(display)


def wait(done, what):
    start = time.perf_counter()
    while not done():
        if time.perf_counter() - start > TIMEOUT_S:
            sys.exit(what)
        time.sleep(0.0005)
    return start


def owned(keys):
    clipboard = x11.XInternAtom(display, b"CLIPBOARD", 0)
    owner = x11.XGetSelectionOwner(display, clipboard)
    start = time.perf_counter()
    press(keys)
    wait(lambda: x11.XGetSelectionOwner(display, clipboard) != owner, "the key did not change the clipboard")
    print(round((time.perf_counter() - start) * 1000, 1))


def pasted(keys, path, size):
    start = time.perf_counter()
    press(keys)
    wait(lambda: os.path.exists(path) and os.path.getsize(path) >= size, "the paste did not arrive")
    print(round((time.perf_counter() - start) * 1000, 1))


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "owned":
        owned(sys.argv[2])
    elif len(sys.argv) == 5 and sys.argv[1] == "pasted":
        pasted(sys.argv[2], sys.argv[3], int(sys.argv[4]))
    else:
        sys.exit(__doc__)
