#!/usr/bin/python3
"""A screen reader's view of the palette, through the AT-SPI accessibility bus.

Usage (the bus comes from $DBUS_SESSION_BUS_ADDRESS, the program by its process id):
  atspi_client.py PID tree                 print every object as ROLE<TAB>NAME<TAB>STATES, indented
  atspi_client.py PID focused              print the role and name of the focused object
  atspi_client.py PID act NAME ACTION      run the action (Press, Toggle) of the object named NAME;
                                           print how many milliseconds the call took
Exits with 1, saying why, when the program or the object is not found.
"""
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# get_action_name is marked deprecated for a get_name that this version does not have yet.
warnings.filterwarnings("ignore", category=DeprecationWarning)

STATES = ("focusable", "focused", "showing", "visible", "checked")


def application(pid):
    # The program registers with the bus shortly after its window shows.
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_process_id() == pid and app.get_child_count() > 0:
                return app
        time.sleep(0.1)
    sys.exit(f"no accessible application of process {pid}")


def objects(node, depth=0):
    yield node, depth
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from objects(child, depth + 1)


def states(node):
    held = node.get_state_set()
    return ",".join(s for s in STATES if held.contains(getattr(Atspi.StateType, s.upper())))


def main():
    pid, command, arguments = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
    Atspi.set_timeout(60000, 60000)
    app = application(pid)
    if command == "tree":
        for node, depth in objects(app):
            print("  " * depth + f"{node.get_role_name()}\t{node.get_name()}\t{states(node)}")
    elif command == "focused":
        # The focus may still be on its way after a key press.
        deadline = time.monotonic() + 10
        while True:
            focused = [n for n, _ in objects(app) if n.get_state_set().contains(Atspi.StateType.FOCUSED)]
            if focused or time.monotonic() > deadline:
                break
            time.sleep(0.1)
        for node in focused:
            print(f"{node.get_role_name()}\t{node.get_name()}")
    elif command == "act":
        name, action = arguments
        matches = [n for n, _ in objects(app) if n.get_name() == name]
        if not matches:
            sys.exit(f"no object named {name}")
        node = matches[0]
        names = [Atspi.Action.get_action_name(node, i) for i in range(Atspi.Action.get_n_actions(node))]
        if action not in names:
            sys.exit(f"{name} offers the actions {names}, not {action}")
        start = time.monotonic()
        Atspi.Action.do_action(node, names.index(action))
        print(round((time.monotonic() - start) * 1000))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
