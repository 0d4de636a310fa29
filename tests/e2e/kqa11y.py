"""Black-box driving of i386 GTK+ programs through the accessibility bus.

Runs inside `scripts/with-xvfb --a11y`, which provides a private display and
a D-Bus session with GTK+'s accessibility modules. Programs are started
through the project's launcher; their windows are read through AT-SPI (the
same tree a screen reader sees) and driven with real X input events from
xdotool, so tests click by accessible name, never by fixed coordinates.
"""

import os
import subprocess
import sys
import time

import gi
gi.require_version("Atspi", "2.0")

from gi.repository import GLib
import pyatspi

DEFAULT_TIMEOUT = 30.0


class TestFailure(AssertionError):
    pass


def pump():
    """Lets libatspi take in pending events, so that cached names and
    states are current."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_until(condition, what, timeout=DEFAULT_TIMEOUT):
    """Polls `condition` until it returns a true value, which is returned;
    fails with `what` (a text, or a function giving one, so that it can show
    the state at the moment of failure) when `timeout` seconds pass first."""
    deadline = time.monotonic() + timeout
    delay = 0.02
    while True:
        pump()
        try:
            result = condition()
        except GLib.Error:  # the object went away or is not ready yet
            result = None
        if result:
            return result
        if time.monotonic() > deadline:
            raise TestFailure("timed out waiting for " + (what() if callable(what) else what))
        time.sleep(delay)
        delay = min(delay * 2, 0.2)


def role(node):
    return node.getRoleName()


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def find_all(node, role_name=None, name=None):
    return [n for n in walk(node)
            if (role_name is None or role(n) == role_name)
            and (name is None or n.name == name)]


def find(node, role_name=None, name=None, timeout=DEFAULT_TIMEOUT):
    """The first node below `node` with that role and name, waiting for it."""
    what = "%s %r" % (role_name or "node", name)
    return wait_until(lambda: next(iter(find_all(node, role_name, name)), None), what, timeout)


def text(node):
    """What a node shows: an entry's text, otherwise its accessible name."""
    pump()
    try:
        t = node.queryText()
    except NotImplementedError:
        return node.name
    if role(node) == "label":
        return node.name
    return t.getText(0, -1)


def center(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    if box.width <= 0 or box.height <= 0:
        raise TestFailure("%s %r has no area on screen" % (role(node), node.name))
    return box.x + box.width // 2, box.y + box.height // 2


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def click(node):
    x, y = center(node)
    xdotool("mousemove", "--sync", x, y, "click", "1")


def type_text(s):
    # A delay between keys lets non-ASCII text through xdotool's keymap changes.
    # "--" ends the options, so that text such as "-5" is typed.
    xdotool("type", "--delay", "50", "--", s)


def key(*combos):
    xdotool("key", "--delay", "30", *combos)


def screenshot(name):
    """Saves the whole private screen as <KQ_ARTIFACT_DIR>/<name>.png."""
    folder = os.environ.get("KQ_ARTIFACT_DIR", "artifacts")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name + ".png")
    subprocess.run(["import", "-window", "root", path], check=True)
    return path


class App:
    """An i386 program started through the launcher, found on the bus."""

    def __init__(self, argv, name=None, env=None, timeout=DEFAULT_TIMEOUT):
        launcher = os.environ.get("KQ_RUN_I386", "run-i386")
        self.name = name or os.path.basename(argv[0])
        self.process = subprocess.Popen([launcher, *argv], env={**os.environ, **(env or {})})
        self.node = wait_until(self._find_on_bus, "application %r on the bus" % self.name, timeout)

    def _find_on_bus(self):
        if self.process.poll() is not None:
            raise TestFailure("%s ended with status %d before it showed up"
                              % (self.name, self.process.returncode))
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == self.name:
                return app
        return None

    def window(self, title, timeout=DEFAULT_TIMEOUT):
        return find(self.node, "frame", title, timeout)

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise TestFailure("%s did not end" % self.name)

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def run(tests):
    """Runs test functions in order, prints a line each, exits non-zero when
    one fails."""
    failed = 0
    for test in tests:
        try:
            test()
            print("PASS", test.__name__)
        except Exception as error:  # report every failure, then go on
            failed += 1
            print("FAIL", test.__name__ + ":", error)
    sys.exit(1 if failed else 0)
