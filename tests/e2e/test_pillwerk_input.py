"""Text that is no price in every field of pillwerk: letters, separators
alone, "-0", the empty text, huge numbers, 1e308 and 10 000 characters. The
program must keep running and show what CDbl and Format make of the text;
the expected texts come from pillwerk_rules, which works them out from the
runtime's rules, not from what the program shows.

Short texts are typed; the 10 000-character ones are handed to the field
through its accessible text interface, as assistive technology does.

The compiled arithmetic keeps intermediate values in the processor's
extended precision, so the last bit of a computed amount may differ from a
double-precision model; where that shows in a huge number's many digits,
the shown number must agree with the model's to 12 significant digits and
have the same form (separators, places, sign, suffix).

    test_pillwerk_input.py PILLWERK LOCALE
"""

import re
import sys

import kqa11y as a
from pillwerk import UST_TITLE, Calculator, move_window
from pillwerk_rules import Rules, calculate, convert_tax

PROGRAM, LOCALE = sys.argv[1], sys.argv[2]
rules = Rules(LOCALE)

NO_NUMBERS = ["abc", ",", ".", ",,,", "-0", "", "x" * 10000]
HUGE = ["99999999999999999999", "1e308", "9" * 10000]
LONG = 100  # texts longer than this are not typed

# The fields whose text the calculation reads, and the editable ones it
# only writes. GHRabattField recalculates on every change, which rewrites
# most others, so it is filled first.
READ = ["GHRabattField", "AEKField", "AufschlagField", "AVKField", "AnzahlField",
        "AnderungField", "HerstellerField"]
WRITTEN = ["RohgewinnField", "RohgewinnNeuField", "AVKNeuField"]


def number_of(text):
    """The number a shown text stands for, read with the locale's
    separators; None for a text without one."""
    digits = text.replace(rules.thousands, "").replace(rules.decimal, ".")
    found = re.search(r"-?\d*\.?\d+", digits)
    return float(found.group(0)) if found else None


def agrees(wanted, shown):
    if wanted == shown:
        return True
    if re.sub(r"\d", "9", wanted) != re.sub(r"\d", "9", shown):
        return False
    w, s = number_of(wanted), number_of(shown)
    return w is not None and s is not None and abs(w - s) <= abs(w) * 1e-12


def expect_outputs(form, wanted):
    for name, text in wanted.items():
        a.wait_until(lambda: agrees(text, form.read(name)),
                     lambda: "%s to show %.60r (shows %.60r)" % (name, text, form.read(name)))


def put(form, name, text):
    """Puts `text` into a field: typed over what the field holds, or handed
    over whole when it is long."""
    form.focus(name)
    if len(text) > LONG:
        form.control(name).queryEditableText().setTextContents(text)
        a.wait_until(lambda: len(form.read(name)) == len(text), name + " to take the long text")
        return
    if form.read(name):
        a.key("ctrl+a", "BackSpace")
    if text:
        a.type_text(text)


def test_text_without_a_number_in_every_field():
    main = calc.main
    for turn, text in enumerate(NO_NUMBERS):
        # Each text is typed into another field, and handed to the rest.
        typed = (READ + WRITTEN)[turn % len(READ + WRITTEN)]
        for name in READ + WRITTEN:
            if name != typed:
                main.control(name).queryEditableText().setTextContents(text)
        put(main, typed, text)
        a.key("Return")
        expect_outputs(main, calculate(rules, {name: text for name in READ}))


def test_huge_numbers_in_each_field_that_is_read():
    main = calc.main
    for text in HUGE:
        for name in READ:
            calc.clear()
            put(main, name, text)
            a.key("Return")
            expect_outputs(main, calculate(rules, {name: text}))


def test_tax_converter_both_ways():
    calc.main.choose("Fenster", "16% auf 19%")
    move_window(UST_TITLE, 700, 0)
    ust = calc.window(UST_TITLE)
    for text in NO_NUMBERS + HUGE:
        for source, other, rate in (("EditPreis16", "EditPreis19", 16),
                                    ("EditPreis19", "EditPreis16", 19)):
            put(ust, source, text)
            expect_outputs(ust, {other: convert_tax(rules, text, rate)})
    # "Neu" empties the 16 % field, which the 19 % field converts back
    # into, and then the 19 % field itself, which converts as empty.
    a.click(ust.button("Neu"))
    expect_outputs(ust, {"EditPreis19": "", "EditPreis16": convert_tax(rules, "", 19)})


calc = Calculator(PROGRAM, LOCALE)
try:
    a.run([test_text_without_a_number_in_every_field,
           test_huge_numbers_in_each_field_that_is_read,
           test_tax_converter_both_ways])
finally:
    calc.close()
