"""The price calculation of pillwerk, seen in its main window: the purchase
price path, the sale price path through the mark-up table with its band
edges, the three tax rates, discounts, quantities and the planned change with
both messages. Numbers are written here with "." as decimal point; the locale
given on the command line decides what is typed and read.

    test_pillwerk_prices.py PILLWERK LOCALE
"""

import sys

import kqa11y as a
from pillwerk import NEGATIVE_MESSAGE, PARI_MESSAGE, Calculator

PROGRAM, LOCALE = sys.argv[1], sys.argv[2]

FIELDS = {
    "AEK": "AEKField", "AEKNetto": "AEKNettoText", "Aufschlag": "AufschlagField",
    "netto": "nettoField", "UST": "USTField", "AVK": "AVKField", "AVKNeu": "AVKNeuField",
    "Anzahl": "AnzahlField", "Spanne": "SpanneField", "Rohgewinn": "RohgewinnField",
    "RohgewinnNeu": "RohgewinnNeuField", "RohgewinnAnderung": "RohgewinnAnderungText",
}

def expect(wanted):
    """Waits for the outputs (short names of FIELDS) to show these texts."""
    for short, text in wanted.items():
        calc.main.expect(FIELDS[short], calc.num(text))


def expect_pari(text):
    calc.main.expect("PariText", text)


def test_empty_form_shows_zeros_and_the_negative_message():
    a.click(calc.main.button("Berechne"))
    expect({"AEK": "0.00", "AEKNetto": "0.00", "Aufschlag": "0.00%", "netto": "0.00",
            "UST": "0.00", "AVK": "0.00", "AVKNeu": "0.00", "Anzahl": "1", "Spanne": "0.00%",
            "Rohgewinn": "0.00", "RohgewinnNeu": "0.00"})
    expect_pari(NEGATIVE_MESSAGE.format(calc.num("0.00")))


def test_purchase_price_with_discounts_quantity_and_change():
    calc.calculate({"AEKField": "20", "AufschlagField": "40", "GHRabattField": "3",
                    "HerstellerField": "2", "AnzahlField": "5", "AnderungField": "-5"})
    expect({"AEK": "20.00", "AEKNetto": "19.00", "Aufschlag": "40.00%", "netto": "28.00",
            "UST": "5.32", "AVK": "33.32", "AVKNeu": "31.65", "Anzahl": "5",
            "Spanne": "32.14%", "Rohgewinn": "45.00", "RohgewinnNeu": "36.67",
            "RohgewinnAnderung": "-18.51%"})
    expect_pari(PARI_MESSAGE.format(calc.num("6.14"), "5", calc.num("45.00")))


def test_negative_discounts_count_as_none():
    calc.calculate({"AEKField": "20", "AufschlagField": "40", "GHRabattField": "-3",
                    "HerstellerField": "-2", "AnzahlField": "5"})
    expect({"AEKNetto": "20.00", "Spanne": "28.57%", "Rohgewinn": "40.00",
            "RohgewinnNeu": "40.00", "RohgewinnAnderung": "0.00%"})


def test_purchase_price_wins_over_a_typed_sale_price():
    calc.calculate({"AEKField": "10", "AufschlagField": "50", "AVKField": "99"})
    expect({"AEK": "10.00", "netto": "15.00", "UST": "2.85", "AVK": "17.85",
            "Spanne": "33.33%", "Rohgewinn": "5.00"})


def test_three_tax_rates_both_ways():
    for rate, vat, avk in (("19%", "2.85", "17.85"), ("16%", "2.40", "17.40"),
                           ("7%", "1.05", "16.05")):
        calc.calculate({"AEKField": "10", "AufschlagField": "50"}, rate)
        expect({"netto": "15.00", "UST": vat, "AVK": avk, "AVKNeu": avk})
    for rate, gross, vat in (("19%", "119", "19.00"), ("16%", "116", "16.00"),
                             ("7%", "107", "7.00")):
        calc.calculate({"AVKField": gross}, rate)
        expect({"netto": "100.00", "UST": vat, "AVK": gross + ".00", "AEK": "76.92",
                "Aufschlag": "30.00%", "Spanne": "23.08%"})


def test_tax_rate_click_recalculates():
    calc.calculate({"AEKField": "10", "AufschlagField": "50"})
    expect({"UST": "2.85"})
    calc.main.click("radioUst7")
    expect({"UST": "1.05", "AVK": "16.05"})
    calc.main.click("radioUst19")
    expect({"UST": "2.85", "AVK": "17.85"})


# Sale prices whose net price is exactly a band edge of the mark-up table
# (net = AVK - AVK / (100 + rate) * rate), with the purchase price and
# mark-up that the band gives. A net price in no band comes back as the
# purchase price, with a mark-up of 0.
BANDS = [
    # (rate, AVK typed, netto, AEK, Aufschlag)
    ("19%", "1190", "1000.00", "820.95", "21.81%"),
    ("19%", "841.4609", "707.11", "550.41", "28.47%"),    # 707.11: first band
    ("16%", "820.236", "707.10", "707.10", "0.00%"),      # 707.10: in no band
    ("19%", "841.45495", "707.11", "707.11", "0.00%"),    # 707.105: in no band
    ("19%", "119", "100.00", "76.92", "30.00%"),
    ("19%", "55.5968", "46.72", "35.94", "29.99%"),       # 46.72: fixed 10.78
    ("19%", "47.5167", "39.93", "39.93", "0.00%"),        # 39.93: in no band
    ("19%", "41.65", "35.00", "25.55", "37.00%"),
    ("19%", "36.8067", "30.93", "22.58", "36.98%"),       # 30.93: fixed 8.35
    ("19%", "33.0582", "27.78", "27.78", "0.00%"),
    ("19%", "29.75", "25.00", "17.48", "43.00%"),
    ("19%", "23.0741", "19.39", "13.56", "42.99%"),       # 19.39: fixed 5.83
    ("19%", "21.3962", "17.98", "17.98", "0.00%"),
    ("19%", "17.85", "15.00", "10.14", "48.00%"),
    ("19%", "15.2796", "12.84", "12.84", "0.00%"),        # 12.84: between bands
    ("19%", "15.2677", "12.83", "8.67", "47.98%"),        # 12.83: fixed 4.16
    ("19%", "13.6493", "11.47", "11.47", "0.00%"),
    ("7%", "12.2622", "11.46", "7.30", "57.00%"),         # 11.46: x / 157 * 57
    ("19%", "10.71", "9.00", "5.73", "57.00%"),
    ("16%", "7.7024", "6.64", "6.64", "0.00%"),
    ("7%", "7.0941", "6.63", "4.22", "57.11%"),           # 6.63: fixed 2.41
    ("19%", "7.497", "6.30", "6.30", "0.00%"),
    ("19%", "7.4851", "6.29", "3.88", "62.00%"),          # 6.29: x / 162 * 62
    ("19%", "4.76", "4.00", "2.47", "62.00%"),
    ("19%", "2.5823", "2.17", "1.34", "61.94%"),          # 2.17: fixed 0.83
    ("19%", "2.4514", "2.06", "2.06", "0.00%"),
    ("19%", "1.19", "1.00", "1.00", "0.00%"),
]


def test_sale_price_through_the_mark_up_table():
    for rate, avk, net, aek, markup in BANDS:
        calc.calculate({"AVKField": avk}, rate)
        expect({"netto": net, "AEK": aek, "Aufschlag": markup})


def test_quantities_zero_and_fraction():
    calc.calculate({"AEKField": "10", "AufschlagField": "50", "AnzahlField": "0"})
    expect({"Anzahl": "1", "Rohgewinn": "5.00"})
    calc.calculate({"AEKField": "10", "AufschlagField": "50", "AnzahlField": "2.7"})
    expect({"Anzahl": "2", "Rohgewinn": "10.00"})


def test_planned_change_messages():
    calc.calculate({"AEKField": "10", "AufschlagField": "50", "AnzahlField": "4",
                    "AnderungField": "10"})
    expect({"AVKNeu": "19.64", "RohgewinnNeu": "27.14", "RohgewinnAnderung": "35.70%"})
    expect_pari(PARI_MESSAGE.format(calc.num("2.95"), "4", calc.num("20.00")))
    # A loss: the negative message; the change in per cent keeps its text.
    calc.main.enter("AnderungField", calc.num("-50"))
    a.key("Return")
    expect({"AVKNeu": "8.93", "RohgewinnNeu": "-15.70", "RohgewinnAnderung": "35.70%"})
    expect_pari(NEGATIVE_MESSAGE.format(calc.num("-15.70")))
    # No change: the profits are equal and the message stays as it was.
    calc.main.enter("AnderungField", "0")
    a.key("Return")
    expect({"RohgewinnNeu": "20.00", "RohgewinnAnderung": "0.00%"})
    expect_pari(NEGATIVE_MESSAGE.format(calc.num("-15.70")))


def test_full_stop_is_a_thousands_separator_in_german():
    if not calc.num.german:
        return
    calc.clear()
    calc.main.enter("AEKField", "12.50")  # typed as it stands, not translated
    calc.main.enter("AufschlagField", "10")
    a.key("Return")
    calc.main.expect("AEKField", "1250,00")
    calc.main.expect("nettoField", "1375,00")


def test_screenshot():
    calc.main.screenshot("pillwerk-main-" + LOCALE.split(".")[0])


calc = Calculator(PROGRAM, LOCALE)
try:
    a.run([test_empty_form_shows_zeros_and_the_negative_message,
           test_purchase_price_with_discounts_quantity_and_change,
           test_negative_discounts_count_as_none,
           test_purchase_price_wins_over_a_typed_sale_price,
           test_three_tax_rates_both_ways,
           test_tax_rate_click_recalculates,
           test_sale_price_through_the_mark_up_table,
           test_quantities_zero_and_fraction,
           test_planned_change_messages,
           test_full_stop_is_a_thousands_separator_in_german,
           test_screenshot])
finally:
    calc.close()
