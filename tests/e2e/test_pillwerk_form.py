"""How the main window of pillwerk reacts to input: which fields recalculate
when they are left or typed into (one of them a key late), Return, "Neu"
with the recalculation it sets off, and the five steppers with clicks,
held arrows and drags.

    test_pillwerk_form.py PILLWERK LOCALE
"""

import sys

import kqa11y as a
from pillwerk import NEGATIVE_MESSAGE, PARI_MESSAGE, Calculator, checked, focused, settle

PROGRAM, LOCALE = sys.argv[1], sys.argv[2]


def expect(name, text):
    calc.main.expect(name, calc.num(text))


def tab_to(name):
    """Presses Tab and waits until the focus reaches `name`."""
    a.key("Tab")
    node = calc.main.control(name)
    a.wait_until(lambda: focused(node), "Tab to move the focus to " + name)


def test_leaving_a_field_recalculates_only_for_mark_up_quantity_and_change():
    main = calc.main
    calc.clear()
    main.enter("AEKField", "10")
    tab_to("AufschlagField")
    settle()
    expect("AEKField", "10")
    expect("nettoField", "")
    a.type_text("50")
    tab_to("AVKField")
    expect("AEKField", "10.00")
    expect("AufschlagField", "50.00%")
    expect("AVKField", "17.85")
    a.key("ctrl+a")
    a.type_text("99")
    a.key("Tab")
    settle()
    expect("AVKField", "99")
    main.enter("AnzahlField", "3")
    a.key("Tab")
    expect("RohgewinnField", "15.00")
    expect("AVKField", "17.85")
    main.enter("AnderungField", "10")
    a.key("Tab")
    expect("AVKNeuField", "19.64")


def test_return_in_a_field_presses_berechne():
    calc.clear()
    calc.main.enter("AEKField", calc.num("12.5"))
    a.key("Return")
    expect("AEKField", "12.50")
    expect("AnzahlField", "1")


def test_every_key_in_the_wholesaler_discount_recalculates():
    main = calc.main
    calc.clear()
    main.enter("AEKField", "100")
    main.focus("GHRabattField")
    a.type_text("1")
    expect("AEKNettoText", "99.00")
    a.type_text("0")
    expect("AEKNettoText", "90.00")


def test_manufacturer_discount_recalculates_one_key_late():
    main = calc.main
    calc.clear()
    main.enter("AEKField", "100")
    main.focus("HerstellerField")
    a.type_text("5")
    expect("AEKNettoText", "100.00")
    main.expect("HerstellerField", "5")
    a.type_text("0")
    expect("AEKNettoText", "95.00")
    main.expect("HerstellerField", "50")
    a.key("Return")
    expect("AEKNettoText", "50.00")


def test_neu_with_a_wholesaler_discount_recalculates_half_way():
    main = calc.main
    calc.calculate({"AEKField": "20", "AufschlagField": "40", "GHRabattField": "3",
                    "HerstellerField": "2", "AnzahlField": "5", "AnderungField": "-5"}, "16%")
    main.expect("PariText", PARI_MESSAGE.format(calc.num("6.10"), "5", calc.num("45.00")))
    expect("RohgewinnAnderungText", "-18.04%")
    a.click(main.button("Neu"))
    # Emptying GHRabattField recalculated from the fields emptied before it;
    # the fields after it were emptied afterwards.
    for name, text in (("AEKField", "0.00"), ("AufschlagField", "0.00%"),
                       ("SpanneField", "0.00%"), ("USTField", "0.00"), ("AVKField", "0.00"),
                       ("nettoField", "0.00"), ("AnzahlField", "1"), ("RohgewinnField", "0.00"),
                       ("AVKNeuField", "0.00"), ("RohgewinnNeuField", "0.00"),
                       ("AnderungField", ""), ("GHRabattField", ""), ("HerstellerField", ""),
                       ("AEKNettoText", ""), ("RohgewinnAnderungText", "-18.04%")):
        expect(name, text)
    main.expect("PariText", NEGATIVE_MESSAGE.format(calc.num("0.00")))
    if not checked(main.control("radioUst16")):
        raise a.TestFailure("the 16 % rate is no longer chosen after \"Neu\"")
    # Without a wholesaler discount nothing is recalculated.
    a.click(main.button("Neu"))
    for name in ("AEKField", "AufschlagField", "SpanneField", "USTField", "AVKField",
                 "nettoField", "AnzahlField", "RohgewinnField"):
        expect(name, "")
    expect("AVKNeuField", "0.00")
    main.click("radioUst19")


def test_stepper_clicks():
    main = calc.main
    calc.clear()
    calc.step("Aufschlaglittle", upper=True)
    expect("AufschlagField", "1.00%")
    calc.step("Aufschlaglittle", upper=False)
    expect("AufschlagField", "0.00%")
    # The change in per cent is not written back by the calculation: a step
    # down to exactly 0 leaves the empty text of the format's third section.
    calc.step("avklittle", upper=False)
    expect("AnderungField", "-1.00%")
    calc.step("avklittle", upper=True)
    expect("AnderungField", "")
    # Every calculation has written the quantity 1.
    expect("AnzahlField", "1")
    calc.step("AnzahlLittle", upper=True)
    expect("AnzahlField", "2")
    calc.step("AnzahlLittle", upper=False)
    expect("AnzahlField", "1")
    # Down from 1 writes 0, which the calculation takes as 1.
    calc.step("AnzahlLittle", upper=False)
    expect("AnzahlField", "1")
    main.enter("AEKField", "100")
    calc.step("GHLittle", upper=True)
    expect("GHRabattField", "0.10%")
    expect("AEKNettoText", "99.90")
    calc.step("GHLittle", upper=False)
    expect("AEKNettoText", "100.00")
    calc.step("HerstellerLittle", upper=True)
    expect("HerstellerField", "1.00%")
    expect("AEKNettoText", "99.00")
    calc.step("HerstellerLittle", upper=False)
    expect("HerstellerField", "0.00%")


def test_stepper_halves_meet_at_row_twelve():
    calc.clear()
    left, top = 209, 92  # AnzahlLittle
    # Rows 0 to 11 are the upper arrow, rows 12 to 22 the lower one.
    for row, shown in ((0, "1"), (11, "2"), (0, "3"), (12, "2"), (22, "1")):
        x, y = calc.main.point(left + 6, top + row)
        a.xdotool("mousemove", "--sync", x, y, "click", "1")
        expect("AnzahlField", shown)


def count():
    return int(calc.main.read("AnzahlField") or 0)


def test_held_arrow_repeats_until_released():
    calc.clear()
    x, y = calc.arrow_point("AnzahlLittle", upper=True)
    a.xdotool("mousemove", "--sync", x, y, "mousedown", "1", "sleep", "1", "mouseup", "1")
    held = count()
    # One step at once, then after a quarter second about every second tick.
    if not 4 <= held <= 40:
        raise a.TestFailure("holding the arrow for a second stepped %d times" % held)
    settle(0.5)
    if count() != held:
        raise a.TestFailure("the steps went on after the release")


def test_dragging_off_the_arrow_stops_the_repeats():
    calc.clear()
    ux, uy = calc.arrow_point("AnzahlLittle", upper=True)
    lx, ly = calc.arrow_point("AnzahlLittle", upper=False)
    a.xdotool("mousemove", "--sync", ux, uy, "mousedown", "1")
    try:
        # The press is taken where the pointer is when the program handles
        # it: wait for its step before moving off.
        a.wait_until(lambda: count() >= 1, "the press on the upper arrow to step")
        a.xdotool("mousemove", "--sync", lx, ly)
        settle(0.5)
        off = count()
        # On the lower arrow nothing repeats and no step down happens.
        settle(1.0)
        if count() != off:
            raise a.TestFailure("off the pressed arrow the count went from %d to %d"
                                % (off, count()))
        a.xdotool("mousemove", "--sync", ux, uy)
        a.wait_until(lambda: count() > off, "the repeats to resume on the pressed arrow")
    finally:
        a.xdotool("mouseup", "1")


def test_screenshot():
    calc.calculate({"AEKField": "20", "AufschlagField": "40", "GHRabattField": "3",
                    "AnzahlField": "5", "AnderungField": "5"})
    calc.main.expect("AnzahlField", "5")
    calc.main.screenshot("pillwerk-form-" + LOCALE.split(".")[0])


calc = Calculator(PROGRAM, LOCALE)
try:
    a.run([test_leaving_a_field_recalculates_only_for_mark_up_quantity_and_change,
           test_return_in_a_field_presses_berechne,
           test_every_key_in_the_wholesaler_discount_recalculates,
           test_manufacturer_discount_recalculates_one_key_late,
           test_neu_with_a_wholesaler_discount_recalculates_half_way,
           test_stepper_clicks,
           test_stepper_halves_meet_at_row_twelve,
           test_held_arrow_repeats_until_released,
           test_dragging_off_the_arrow_stops_the_repeats,
           test_screenshot])
finally:
    calc.close()
