"""The windows of pillwerk and how the program ends: the "Fenster" menu with
its single window instances, the 16 %/19 % converter in both directions, the
welcome window with its logo, closing the main window while another stays
open, and quitting by Escape, "Abbruch", Ctrl+Q and "Beenden".

    test_pillwerk_windows.py PILLWERK LOCALE
"""

import sys

import kqa11y as a
from pillwerk import MAIN_TITLE, UST_TITLE, WELCOME_TITLE, Calculator, close_window, move_window

PROGRAM, LOCALE = sys.argv[1], sys.argv[2]
LANG = LOCALE.split(".")[0]


def expect_windows(calc, main, ust, welcome):
    for title, count in ((MAIN_TITLE, main), (UST_TITLE, ust), (WELCOME_TITLE, welcome)):
        a.wait_until(lambda: len(calc.frames(title)) == count,
                     lambda: "%d window(s) %r (there are %d)"
                     % (count, title, len(calc.frames(title))))


def test_menu_opens_one_window_of_each_kind():
    calc = Calculator(PROGRAM, LOCALE)
    try:
        expect_windows(calc, 1, 0, 0)
        calc.main.choose("Fenster", "16% auf 19%")
        expect_windows(calc, 1, 1, 0)
        move_window(UST_TITLE, 700, 0)
        calc.main.choose("Fenster", "16% auf 19%")
        calc.main.choose("Fenster", "Über DAR-Ozorado")
        expect_windows(calc, 1, 1, 1)
        move_window(WELCOME_TITLE, 700, 400)
        calc.main.choose("Fenster", "Über DAR-Ozorado")
        calc.main.choose("Fenster", "DAR-Ozorado")
        expect_windows(calc, 1, 1, 1)
    finally:
        calc.close()


def test_tax_converter_both_ways():
    calc = Calculator(PROGRAM, LOCALE)
    num = calc.num
    try:
        calc.main.choose("Fenster", "16% auf 19%")
        move_window(UST_TITLE, 700, 0)
        ust = calc.window(UST_TITLE)
        ust.enter("EditPreis16", "116")
        ust.expect("EditPreis19", num("119.00€"))
        ust.enter("EditPreis19", "119")
        ust.expect("EditPreis16", num("116.00€"))
        ust.enter("EditPreis16", "1234")
        ust.expect("EditPreis19", num("1,265.91€"))
        ust.screenshot("pillwerk-ust-" + LANG)
        # "Neu" empties both; the emptied source converts to 0.
        a.click(ust.button("Neu"))
        ust.expect("EditPreis16", "")
        ust.expect("EditPreis19", num("0.00€"))
    finally:
        calc.close()


def test_welcome_window_shows_texts_and_logo():
    calc = Calculator(PROGRAM, LOCALE)
    try:
        calc.main.choose("Fenster", "Über DAR-Ozorado")
        move_window(WELCOME_TITLE, 700, 0)
        welcome = calc.window(WELCOME_TITLE)
        a.find(welcome.frame, "label", "Version: 2.61008")
        a.find(welcome.frame, "label", "Programm zur Preiskalkulation in Apotheken unter "
               "Berücksichtigung des Stücknutzen.")
        # The canvas shows the logo bitmap: its tile is green near the
        # corner, its background white.
        def tile_is_green():
            red, green, blue = welcome.pixel(239 + 15, 212 + 15)
            return green > red + 40 and green > blue + 20
        a.wait_until(tile_is_green, lambda: "the logo's green tile on the canvas (colour %s)"
                     % (welcome.pixel(239 + 15, 212 + 15),))
        if welcome.pixel(239 + 150, 212 + 5) != (255, 255, 255):
            raise a.TestFailure("the logo's background is not white")
        welcome.screenshot("pillwerk-welcome-" + LANG)
    finally:
        calc.close()


def test_closing_the_main_window_keeps_the_program_running():
    calc = Calculator(PROGRAM, LOCALE)
    try:
        calc.main.enter("AEKField", "10")
        calc.main.choose("Fenster", "16% auf 19%")
        move_window(UST_TITLE, 700, 0)
        ust = calc.window(UST_TITLE)
        close_window(MAIN_TITLE)
        expect_windows(calc, 0, 1, 0)
        if calc.app.process.poll() is not None:
            raise a.TestFailure("the program ended with the tax window still open")
        # The menu of the remaining window opens a new, empty main window.
        ust.choose("Fenster", "DAR-Ozorado")
        expect_windows(calc, 1, 1, 0)
        calc.main = calc.window(MAIN_TITLE)
        calc.main.expect("AEKField", "")
        close_window(UST_TITLE)
        expect_windows(calc, 1, 0, 0)
        close_window(MAIN_TITLE)
        status = calc.app.wait_exit()
        if status != 0:
            raise a.TestFailure("closing the last window ended the program with status %d"
                                % status)
    finally:
        calc.close()


def quits_by(action):
    calc = Calculator(PROGRAM, LOCALE)
    try:
        action(calc)
        status = calc.app.wait_exit()
        if status != 0:
            raise a.TestFailure("the program ended with status %d" % status)
    finally:
        calc.close()


def test_escape_quits():
    def escape(calc):
        calc.main.focus("AEKField")
        a.key("Escape")
    quits_by(escape)


def test_abbruch_quits():
    quits_by(lambda calc: a.click(calc.main.button("Abbruch")))


def test_ctrl_q_quits():
    def ctrl_q(calc):
        calc.main.focus("AnzahlField")
        a.key("ctrl+q")
    quits_by(ctrl_q)


def test_beenden_quits():
    quits_by(lambda calc: calc.main.choose("Datei", "Beenden"))


a.run([test_menu_opens_one_window_of_each_kind,
       test_tax_converter_both_ways,
       test_welcome_window_shows_texts_and_logo,
       test_closing_the_main_window_keeps_the_program_running,
       test_escape_quits,
       test_abbruch_quits,
       test_ctrl_q_quits,
       test_beenden_quits])
