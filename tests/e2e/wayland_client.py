#!/usr/bin/env python3
"""A small Wayland client for the end-to-end tests, speaking the wire protocol directly (no
packages beyond Python): a pointer that clicks where it is told, and a launcher that starts a
program with an activation token, as a desktop's launcher does.

  wayland_client.py click X Y          press and release the left button at X,Y of the layout
  wayland_client.py launch COMMAND...  show a window, take the keyboard focus, start COMMAND with
                                       XDG_ACTIVATION_TOKEN from the compositor, and wait until
                                       the focus goes elsewhere; exit 0 when it did, 3 when not,
                                       4 when the seat has no keyboard to tell

The pointer is the wlroots virtual pointer (sway) or KWin's fake input; exit 2 when the
compositor offers neither, or no xdg-activation for launch.
"""
import array
import mmap
import os
import socket
import struct
import subprocess
import sys
import time


class Connection:
    def __init__(self):
        runtime = os.environ["XDG_RUNTIME_DIR"]
        name = os.environ.get("WAYLAND_DISPLAY", "wayland-0")
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(name if name.startswith("/") else os.path.join(runtime, name))
        self.next_id = 2
        self.handlers = {}  # object id -> {opcode: function(payload, fds)}
        self.buffer = b""
        self.fds = []
        self.globals = {}  # interface -> (name, version)
        self.registry = self.new_id()
        self.send(1, 1, self.u32(self.registry))
        self.on(self.registry, 0, self._global)
        self.on(1, 0, self._error)
        self.roundtrip()

    def new_id(self):
        self.next_id += 1
        return self.next_id - 1

    @staticmethod
    def u32(value):
        return struct.pack("<I", value & 0xFFFFFFFF)

    @staticmethod
    def fixed(value):
        return struct.pack("<i", int(value * 256))

    @staticmethod
    def string(text):
        data = text.encode() + b"\0"
        return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)

    def send(self, obj, opcode, payload=b"", fds=()):
        message = struct.pack("<II", obj, (8 + len(payload)) << 16 | opcode) + payload
        if fds:
            self.sock.sendmsg([message], [(socket.SOL_SOCKET, socket.SCM_RIGHTS, array.array("i", fds))])
        else:
            self.sock.sendall(message)

    def on(self, obj, opcode, handler):
        self.handlers.setdefault(obj, {})[opcode] = handler

    def _global(self, payload, _fds):
        name, = struct.unpack_from("<I", payload)
        interface, offset = self.read_string(payload, 4)
        version, = struct.unpack_from("<I", payload, offset)
        self.globals[interface] = (name, version)

    def _error(self, payload, _fds):
        obj, code = struct.unpack_from("<II", payload)
        message, _ = self.read_string(payload, 8)
        sys.exit(f"wayland error on object {obj}, code {code}: {message}")

    @staticmethod
    def read_string(payload, offset):
        length, = struct.unpack_from("<I", payload, offset)
        text = payload[offset + 4:offset + 4 + length - 1].decode()
        return text, offset + 4 + length + (-length % 4)

    def bind(self, interface, version):
        if interface not in self.globals:
            return None
        name, offered = self.globals[interface]
        obj = self.new_id()
        self.send(self.registry, 0, self.u32(name) + self.string(interface) + self.u32(min(version, offered)) + self.u32(obj))
        return obj

    def dispatch(self, timeout=None):
        self.sock.settimeout(timeout)
        try:
            data, ancillary, _, _ = self.sock.recvmsg(65536, socket.CMSG_SPACE(16 * 4))
        except socket.timeout:
            return False
        if not data:
            sys.exit("the compositor closed the connection")
        for level, kind, fd_data in ancillary:
            if level == socket.SOL_SOCKET and kind == socket.SCM_RIGHTS:
                self.fds.extend(array.array("i", fd_data[:len(fd_data) - len(fd_data) % 4]))
        self.buffer += data
        while len(self.buffer) >= 8:
            obj, word = struct.unpack_from("<II", self.buffer)
            size, opcode = word >> 16, word & 0xFFFF
            if len(self.buffer) < size:
                break
            payload, self.buffer = self.buffer[8:size], self.buffer[size:]
            handler = self.handlers.get(obj, {}).get(opcode)
            if handler:
                handler(payload, self.fds)
        return True

    def roundtrip(self):
        callback = self.new_id()
        done = []
        self.on(callback, 0, lambda payload, fds: done.append(True))
        self.send(1, 0, self.u32(callback))
        while not done:
            self.dispatch()


def click(x, y):
    wl = Connection()
    # The wlroots virtual pointer: motion_absolute(time, x, y, extent) is in a box of the given
    # size spread over the whole layout, so the layout's own size gives its pixels.
    manager = wl.bind("zwlr_virtual_pointer_manager_v1", 1)
    if manager:
        pointer = wl.new_id()
        wl.send(manager, 0, wl.u32(0) + wl.u32(pointer))
        width, height = layout_size(wl)
        wl.send(pointer, 1, wl.u32(0) + wl.u32(x) + wl.u32(y) + wl.u32(width) + wl.u32(height))
        wl.send(pointer, 4)
        for state in (1, 0):
            wl.roundtrip()
            time.sleep(0.05)
            wl.send(pointer, 2, wl.u32(0) + wl.u32(0x110) + wl.u32(state))
            wl.send(pointer, 4)
        wl.roundtrip()
        return 0
    # KWin's fake input: authenticate, then absolute motion in the layout's pixels.
    fake = wl.bind("org_kde_kwin_fake_input", 4)
    if fake:
        wl.send(fake, 0, wl.string("tavrelo tests") + wl.string("clicks of the end-to-end tests"))
        wl.send(fake, 9, wl.fixed(x) + wl.fixed(y))
        for state in (1, 0):
            wl.roundtrip()
            time.sleep(0.05)
            wl.send(fake, 2, wl.u32(0x110) + wl.u32(state))
        wl.roundtrip()
        return 0
    print("the compositor offers no virtual pointer", file=sys.stderr)
    return 2


def layout_size(wl):
    """The size of the compositor's output (the tests run with one), from wl_output's mode."""
    output, box = wl.bind("wl_output", 1), {}
    wl.on(output, 1, lambda p, f: (struct.unpack_from("<I", p)[0] & 1) and box.update(zip("wh", struct.unpack_from("<ii", p, 4))))
    wl.roundtrip()
    return box["w"], box["h"]


def launch(command):
    wl = Connection()
    compositor = wl.bind("wl_compositor", 4)
    shm = wl.bind("wl_shm", 1)
    base = wl.bind("xdg_wm_base", 1)
    seat = wl.bind("wl_seat", 5)
    activation = wl.bind("xdg_activation_v1", 1)
    if not activation:
        print("the compositor offers no xdg-activation", file=sys.stderr)
        return 2
    wl.on(base, 0, lambda p, f: wl.send(base, 3, p[:4]))  # ping -> pong

    # Without a keyboard (sway's headless seat has none) nothing tells where the focus goes.
    capabilities = []
    wl.on(seat, 0, lambda p, f: capabilities.append(struct.unpack_from("<I", p)[0]))
    wl.roundtrip()
    has_keyboard = bool(capabilities and capabilities[-1] & 2)
    focus = {"serial": None, "left": False}
    if has_keyboard:
        keyboard = wl.new_id()
        wl.send(seat, 1, wl.u32(keyboard))

        def keymap(payload, fds):
            while fds:
                os.close(fds.pop())

        wl.on(keyboard, 0, keymap)
        wl.on(keyboard, 1, lambda p, f: focus.update(serial=struct.unpack_from("<I", p)[0], left=False))
        wl.on(keyboard, 2, lambda p, f: focus.update(left=True))

    # A window of 200 x 100 grey pixels.
    width, height = 200, 100
    memory = os.memfd_create("launcher")
    os.ftruncate(memory, width * height * 4)
    with mmap.mmap(memory, width * height * 4) as pixels:
        pixels.write(b"\x80" * width * height * 4)
    pool, buffer = wl.new_id(), wl.new_id()
    wl.send(shm, 0, wl.u32(pool) + wl.u32(width * height * 4), fds=[memory])
    wl.send(pool, 0, wl.u32(buffer) + wl.u32(0) + wl.u32(width) + wl.u32(height) + wl.u32(width * 4) + wl.u32(1))
    surface, xdg_surface, toplevel = wl.new_id(), wl.new_id(), wl.new_id()
    wl.send(compositor, 0, wl.u32(surface))
    wl.send(base, 2, wl.u32(xdg_surface) + wl.u32(surface))
    wl.send(xdg_surface, 1, wl.u32(toplevel))
    wl.send(toplevel, 2, wl.string("Launcher"))
    wl.send(surface, 6)  # commit: ask for the first configure
    configured = []
    wl.on(xdg_surface, 0, lambda p, f: configured.append(struct.unpack_from("<I", p)[0]))
    deadline = time.monotonic() + 10
    while not configured and time.monotonic() < deadline:
        wl.dispatch(0.5)
    if not configured:
        print("the launcher's window was not configured", file=sys.stderr)
        return 1
    wl.send(xdg_surface, 4, wl.u32(configured[-1]))
    wl.send(surface, 1, wl.u32(buffer) + wl.u32(0) + wl.u32(0))
    wl.send(surface, 6)
    while has_keyboard and focus["serial"] is None and time.monotonic() < deadline:
        wl.dispatch(0.5)
    if has_keyboard and focus["serial"] is None:
        print("the launcher did not get the keyboard focus", file=sys.stderr)
        return 1
    # The compositor's own focus (sway's) takes a moment to follow the new window.
    wl.roundtrip()
    time.sleep(0.5)

    # The token for the keyboard focus the launcher has, as a launcher asks for the program it
    # starts on the user's behalf.
    token, received = wl.new_id(), []
    wl.send(activation, 1, wl.u32(token))
    wl.on(token, 0, lambda p, f: received.append(wl.read_string(p, 0)[0]))
    if has_keyboard:
        wl.send(token, 0, wl.u32(focus["serial"]) + wl.u32(seat))
    wl.send(token, 2, wl.u32(surface))
    wl.send(token, 3)
    while not received and time.monotonic() < deadline:
        wl.dispatch(0.5)
    if not received:
        print("the compositor gave no token", file=sys.stderr)
        return 1

    started = subprocess.run(command, env=dict(os.environ, XDG_ACTIVATION_TOKEN=received[0]), timeout=20)
    print(f"started: status {started.returncode}", flush=True)
    if not has_keyboard:
        print("focus: not known, the seat has no keyboard")
        return 4
    deadline = time.monotonic() + 5
    while not focus["left"] and time.monotonic() < deadline:
        wl.dispatch(0.2)
    print("focus: " + ("left the launcher" if focus["left"] else "stayed with the launcher"))
    return 0 if focus["left"] else 3


def main(argv):
    if len(argv) == 4 and argv[1] == "click":
        return click(int(argv[2]), int(argv[3]))
    if len(argv) > 2 and argv[1] == "launch":
        return launch(argv[2:])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
