"""What a screen reader reads of the window, value after value.

    a11y_tree.py PROGRAM

Starts PROGRAM on the accessibility bus (AT-SPI), types each value
of the table into it with xdotool (over the whole box) and reads the tree
back: the roles, the label relation, the box's text and what the picture
tells. The picture must also say each change itself, by an event, as a
screen reader hears it without a key of its own.
"""
import os
import signal
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

TREE = """\
frame 'Form1' active
  label 'Enter Value' label-for text 'Enter Value'
  text 'Enter Value' focused labelled-by label 'Enter Value' holds {value!r}
  push button 'Print'
  panel ''
    image 'Barcodes' tells {picture!r}"""

# AT-SPI before 2.50 calls a button's role "push button", later ones "button":
# the role is the same.
ROLE_NAMES = {pyatspi.ROLE_PUSH_BUTTON: "push button"}
STATES = {pyatspi.STATE_ACTIVE: "active", pyatspi.STATE_FOCUSED: "focused"}
NONE = "SCC14: no symbol; 3 of 9: no symbol; UPC-A: no symbol; EAN-13: no symbol"
# Typed, and what the picture tells: the text under each symbol, check digits
# worked by hand; "no symbol" where there are no bars.
CASES = [
    ("123", "SCC14: 12300000000006; 3 of 9: 123; UPC-A: 123000000006; EAN-13: 1230000000000"),
    ("12ab", "SCC14: no symbol, 12ab000000000; 3 of 9: 12AB; UPC-A: no symbol; EAN-13: no symbol"),
    ("12#", "SCC14: no symbol, 12#0000000000; 3 of 9: no symbol; UPC-A: no symbol; EAN-13: no symbol"),
    # The emptied box: all-zero symbols, and Code 39 bars with no text.
    ("", "SCC14: 00000000000000; 3 of 9: no text; UPC-A: 000000000000; EAN-13: 0000000000000"),
]


def role(node):
    return ROLE_NAMES.get(node.getRole(), node.getRoleName())


def line(node, depth):
    text = f"{'  ' * depth}{role(node)} {node.name!r}"
    text += "".join(f" {name}" for state, name in STATES.items() if node.getState().contains(state))
    for relation in node.getRelationSet():
        kind = relation.getRelationType().value_nick
        if kind.startswith("label"):
            target = relation.getTarget(0)
            text += f" {kind} {role(target)} {target.name!r}"
    if node.getRole() == pyatspi.ROLE_TEXT:
        text += f" holds {node.queryText().getText(0, -1)!r}"
    if node.getRole() == pyatspi.ROLE_IMAGE:
        text += f" tells {node.description!r}"
    return text


def tree(node, depth=0):
    return "\n".join([line(node, depth)] + [tree(child, depth + 1) for child in node])


def wait_for(what, read, want):
    """Reads until it gives WANT, handling the bus's events meanwhile, up to
    a bound that only a fault reaches."""
    got = None
    end = time.monotonic() + float(os.environ.get("BARCODES_WAIT", 45))
    while time.monotonic() < end:
        while GLib.MainContext.default().iteration(False):
            pass
        try:
            got = read()
        except (GLib.Error, LookupError, AttributeError):
            got = None  # the program is not on the bus yet
        if got == want:
            return
        time.sleep(0.05)  # between retries
    sys.exit(f"FAIL: {what}:\n{got}\n-- wanted --\n{want}")


def window(pid):
    apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.get_process_id() == pid]
    return apps[0][0]


def carried(event):
    """The description a description change carried, as the program raised
    it. Qt 6.4 sends the object alone, not its text (later Qt sends both):
    then only what the object holds when the event comes can be read."""
    return event.any_data if isinstance(event.any_data, str) else event.source.description


told = []  # (role of its source, the description it carried) of each description change
pyatspi.Registry.registerEventListener(
    lambda event: told.append((role(event.source), carried(event))),
    "object:property-change:accessible-description")
# Started only now: the program asks the registry at start which events are
# listened to, and may miss a listener that comes while it starts.
program = subprocess.Popen([sys.argv[1]])
signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))
try:
    wait_for("the window at start", lambda: tree(window(program.pid)),
             TREE.format(value="", picture=NONE))
    for value, picture in CASES:
        told.clear()
        subprocess.run(["xdotool", "key", "ctrl+a", "BackSpace"], check=True)
        if value:
            subprocess.run(["xdotool", "type", "--delay", "15", value], check=True)
        want = TREE.format(value=value, picture=picture)
        wait_for(f"the tree after {value!r}", lambda: tree(window(program.pid)), want)
        wait_for(f"the last event after {value!r}", lambda: told[-1:], [("image", picture)])
        print(f"after {value!r}:\n{want}\n")
finally:
    program.terminate()
    program.wait()
