"""Driving the calculator `pillwerk` from outside, as a user does.

The program runs on the private display of `with-xvfb --a11y`; its windows
are read through the accessibility bus and driven with real X input. Labels,
buttons and menu items are found by their accessible names. Edit fields and
the steppers have no names of their own, so they are found by where the
layout puts them: the content origin of a window is taken from one of its
labels, and a control is the node at origin + (Left, Top) of the layout
below. Finding them there also checks that they stand where they belong.
"""

import ctypes
import os
import subprocess
import time

import pyatspi

import kqa11y as a

MAIN_TITLE = "DAR-Ozorado pillwerk"
UST_TITLE = "Umsatzsteuerrechner"
WELCOME_TITLE = "Willkommen"

# Name: (role, left, top, width, height) in the window's content area.
MAIN_LAYOUT = {
    "AEKField": ("text", 20, 38, 80, 22),
    "AufschlagField": ("text", 125, 38, 80, 22),
    "AVKField": ("text", 20, 162, 80, 22),
    "RohgewinnField": ("text", 125, 223, 80, 22),
    "AnzahlField": ("text", 125, 92, 80, 22),
    "SpanneField": ("text", 240, 38, 80, 22),
    "USTField": ("text", 448, 38, 80, 22),
    "AnderungField": ("text", 125, 162, 80, 22),
    "nettoField": ("text", 347, 38, 80, 22),
    "GHRabattField": ("text", 239, 92, 80, 22),
    "HerstellerField": ("text", 346, 93, 80, 22),
    "RohgewinnNeuField": ("text", 125, 268, 80, 22),
    "AVKNeuField": ("text", 278, 162, 80, 22),
    "PariText": ("label", 26, 347, 591, 50),
    "RohgewinnAnderungText": ("label", 271, 269, 100, 20),
    "AEKNettoText": ("label", 20, 94, 93, 20),
    "radioUst19": ("radio button", 55, 315, 52, 20),
    "radioUst16": ("radio button", 115, 315, 52, 20),
    "radioUst7": ("radio button", 179, 315, 56, 20),
}

# The steppers: (left, top) of their 13 x 23 hit area.
ARROWS = {
    "avklittle": (209, 162),
    "Aufschlaglittle": (209, 37),
    "AnzahlLittle": (209, 92),
    "GHLittle": (321, 92),
    "HerstellerLittle": (433, 93),
}

UST_LAYOUT = {
    "EditPreis16": ("text", 43, 62, 214, 48),
    "EditPreis19": ("text", 43, 186, 214, 48),
}

# A label of each window whose position gives the window's content origin.
ANCHORS = {
    MAIN_TITLE: ("AEK", 20, 12),
    UST_TITLE: ("Preis 16%", 43, 30),
    WELCOME_TITLE: ("DAR-Ozorado", 31, 14),
}

TOLERANCE = 2  # pixels a widget may stand off its layout position

NEGATIVE_MESSAGE = ("Ihr Ertag ist negativ. Sie erwirtschaften nur noch Miese. "
                    "Sie können mir die{}€ direkt überweisen ;-)")
PARI_MESSAGE = ("Sie müssen {} Packungen anstelle von {} Packungen verkaufen, "
                "um den alten Rohgewinn von {}€ zu erreichen")


class Locale:
    """Numbers as the user types and reads them in a locale. Texts in the
    tests are written with "." as decimal point and "," as thousands
    separator; in German the two swap."""

    def __init__(self, name):
        self.name = name
        self.german = name.startswith("de_")

    def __call__(self, text):
        if not self.german:
            return text
        return text.translate(str.maketrans({".": ",", ",": "."}))


def extents(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def focused(node):
    return node.getState().contains(pyatspi.STATE_FOCUSED)


def on_screen(node):
    """Whether a node has an area on the screen (items of a closed popup
    menu have none; gail does not mark the items of an open one showing)."""
    x, y, w, h = extents(node)
    return x >= 0 and y >= 0 and w > 1 and h > 1


def checked(node):
    return node.getState().contains(pyatspi.STATE_CHECKED)


class Form:
    """One open window of the calculator, with its controls found by layout."""

    def __init__(self, app, title, layout):
        self.app = app
        self.title = title
        self.layout = layout
        self.frame = app.window(title)
        self._nodes = {}

    @property
    def origin(self):
        """The screen position of the content area's corner, taken afresh:
        a window may still be placed, or be moved, after it was found."""
        label, left, top = ANCHORS[self.title]
        x, y, _, _ = extents(a.find(self.frame, "label", label))
        return x - left, y - top

    def control(self, name):
        if name not in self._nodes:
            self._nodes[name] = a.wait_until(lambda: self._at(name),
                                             "%s at its place in %r" % (name, self.title))
        return self._nodes[name]

    def _at(self, name):
        role, left, top, _, _ = self.layout[name]
        origin = self.origin
        want = (origin[0] + left, origin[1] + top)
        for node in a.find_all(self.frame, role):
            x, y, _, _ = extents(node)
            if abs(x - want[0]) <= TOLERANCE and abs(y - want[1]) <= TOLERANCE:
                return node
        return None

    def read(self, name):
        return a.text(self.control(name))

    def expect(self, name, wanted, timeout=a.DEFAULT_TIMEOUT):
        """Waits until the control shows `wanted`."""
        a.wait_until(lambda: self.read(name) == wanted,
                     lambda: "%s to show %r (shows %r)" % (name, wanted, self.read(name)),
                     timeout)

    def expect_all(self, wanted):
        for name, text in wanted.items():
            self.expect(name, text)

    def click(self, name):
        a.click(self.control(name))

    def focus(self, name):
        """Clicks into a field and waits until it has the keyboard focus."""
        node = self.control(name)
        a.click(node)
        a.wait_until(lambda: focused(node), "%s to take the focus" % name)

    def enter(self, name, text):
        """Clicks into a field, selects what it holds and types `text` over it."""
        self.focus(name)
        if self.read(name):
            a.key("ctrl+a")
        a.type_text(text)

    def button(self, caption):
        return a.find(self.frame, "push button", caption)

    def point(self, left, top):
        """Screen position of a point of the content area."""
        x, y = self.origin
        return x + left, y + top

    def choose(self, menu, item):
        """Chooses a menu item from this window's menu bar. The window's
        node is looked up again when its menu is not found under it: the
        accessibility bus may have handed out a new node for the window."""
        def title_menu():
            frames = [f for f in a.find_all(self.app.node, "frame", self.title) if showing(f)]
            for frame in [self.frame] + frames:
                found = a.find_all(frame, "menu", menu)
                if found:
                    self.frame = frame
                    return found[0]
            return None
        a.click(a.wait_until(title_menu, "the menu %r of %r" % (menu, self.title)))
        entry = a.wait_until(
            lambda: next((n for n in a.find_all(self.app.node, "menu item", item)
                          if on_screen(n)), None),
            "the menu item %r" % item)
        a.click(entry)

    def close(self):
        close_window(self.title)

    def screenshot(self, name):
        """Saves the screen area of this window as an artifact."""
        x, y, w, h = extents(self.frame)
        path = a.screenshot(name)
        subprocess.run(["mogrify", "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", path],
                       check=True)
        return path

    def pixel(self, left, top):
        """The colour of a content point on screen, as (red, green, blue)."""
        x, y = self.point(left, top)
        out = subprocess.run(["import", "-window", "root", "-crop", "1x1+%d+%d" % (x, y),
                              "-depth", "8", "txt:-"],
                             check=True, capture_output=True, text=True).stdout
        # The last line reads "0,0: (r,g,b)  #RRGGBB  srgb(...)".
        code = out.strip().splitlines()[-1].split("#")[1][:6]
        return tuple(int(code[i:i + 2], 16) for i in (0, 2, 4))


class Calculator:
    """The running program and its main window."""

    def __init__(self, program, locale):
        self.num = Locale(locale)
        self.app = a.App([program], name="pillwerk",
                         env={"LC_ALL": locale, "LANG": locale, "KQ_ERROR_REPORT": "ok"})
        self.main = Form(self.app, MAIN_TITLE, MAIN_LAYOUT)

    def window(self, title):
        layouts = {MAIN_TITLE: MAIN_LAYOUT, UST_TITLE: UST_LAYOUT}
        return Form(self.app, title, layouts.get(title, {}))

    def frames(self, title):
        return [n for n in a.find_all(self.app.node, "frame", title) if showing(n)]

    def close(self):
        self.app.close()

    # The main window.

    def clear(self):
        """Empties the inputs with "Neu". When the wholesaler discount held
        text, emptying it recalculated half-way; a second "Neu" then finds
        it empty."""
        main = self.main
        a.click(main.button("Neu"))
        a.wait_until(lambda: main.read("AEKField") in ("", self.num("0.00")),
                     "\"Neu\" to empty the form")
        if main.read("AEKField"):
            a.click(main.button("Neu"))
            main.expect("AEKField", "")

    def calculate(self, inputs, rate="19%"):
        """Empties the form, chooses the tax rate, types the inputs (field
        name: text with "." as decimal point) and presses Return in the last
        of them."""
        main = self.main
        self.clear()
        radio = {"19%": "radioUst19", "16%": "radioUst16", "7%": "radioUst7"}[rate]
        if not checked(main.control(radio)):
            main.click(radio)
        for name, text in inputs.items():
            main.enter(name, self.num(text))
        a.key("Return")

    def arrow_point(self, name, upper):
        left, top = ARROWS[name]
        return self.main.point(left + 6, top + (5 if upper else 17))

    def step(self, name, upper):
        x, y = self.arrow_point(name, upper)
        a.xdotool("mousemove", "--sync", x, y, "click", "1")


def window_ids(title):
    """The X ids of the visible top-level windows of that title."""
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                          capture_output=True, text=True).stdout.split()


def move_window(title, x, y):
    """Puts a window elsewhere on the private screen, which has no window
    manager to place windows, so that windows do not cover each other."""
    for window in window_ids(title):
        a.xdotool("windowmove", "--sync", window, x, y)


def close_window(title):
    """Asks the window manager's way for a window to close: sends the
    WM_DELETE_WINDOW message to the visible top-level window of that title,
    as a close button would (the private display has no window manager)."""
    ids = window_ids(title)
    if not ids:
        raise a.TestFailure("no visible window %r to close" % title)
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.c_void_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
                    ("pad", ctypes.c_long * 12)]  # the rest of an XEvent

    display = x11.XOpenDisplay(os.environ["DISPLAY"].encode())
    if not display:
        raise a.TestFailure("cannot open the display to close %r" % title)
    try:
        message = ClientMessage()
        message.type = 33  # ClientMessage
        message.window = int(ids[-1])
        message.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
        message.format = 32
        message.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        message.data[1] = 0  # CurrentTime
        x11.XSendEvent(display, message.window, 0, 0, ctypes.byref(message))
        x11.XFlush(display)
    finally:
        x11.XCloseDisplay(display)


def settle(seconds=1.0):
    """Gives the program time to react to something that must have no
    visible effect (used only where nothing can be waited for)."""
    time.sleep(seconds)
    a.pump()
