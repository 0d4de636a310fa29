"""The harness itself, on a small i386 GTK+ program: real typing into an
entry, a click on a button found by name, and the label read back."""

import sys

import kqa11y as a

PROGRAM = sys.argv[1]


def test_type_click_and_read_back():
    app = a.App([PROGRAM])
    try:
        window = app.window("A11y Probe")
        entry = a.find(window, "text")
        a.click(entry)
        a.type_text("Grüße 12,50")
        a.wait_until(lambda: a.text(entry) == "Grüße 12,50",
                     lambda: "the typed text in the entry (shows %r)" % a.text(entry))
        a.click(a.find(window, "push button", "Copy"))
        label = a.find(window, "label")
        a.wait_until(lambda: a.text(label) == "Copied: Grüße 12,50",
                     lambda: "the label to show the copied text (shows %r)" % a.text(label))
        a.screenshot("e2e-a11y-probe")
    finally:
        app.close()


a.run([test_type_click_and_read_back])
