"""What pillwerk must show for given field texts, worked out independently
of the program from the runtime's documented rules: CDbl (text to number
through the locale's separators, then Val), Format (patterns of "#" and "0"
places) and the calculator's arithmetic in double precision.

Where the runtime's rules leave a choice, this is the choice it made and
documents: Format writes "INF" or "NAN" once, in place of the digits, for
values that have none; a Double outside the Integer range converts to
-2147483648.
"""

import math
import re

SEPARATORS = {"de": (".", ","), "en": (",", ".")}  # (thousands, decimal)
INT32_MIN = -2147483648


class Rules:
    def __init__(self, locale):
        self.thousands, self.decimal = SEPARATORS[locale[:2]]

    # Text to number.

    def cdbl(self, text):
        if not text:
            return 0.0
        return val(text.replace(self.thousands, "").replace(self.decimal, "."))

    # Number to text.

    def format(self, value, pattern):
        section = choose_section(pattern, value)
        places, decimals, percent, grouping = scan(section)
        magnitude = abs(value) * (100 if percent else 1)
        sign = -1 if value < 0 else 1 if value > 0 else 0
        if math.isnan(magnitude) or math.isinf(magnitude):
            return self._word("NAN" if math.isnan(magnitude) else "INF", section, sign)
        printed = "%.*f" % (decimals, magnitude)
        integer, _, fraction = printed.partition(".")
        if decimals > 0:
            fraction = fraction.rstrip("0")
        out, point, place, fraction_at, written = [], False, 0, 0, False
        i = 0
        while i < len(section):
            c = section[i]
            if c == "\\":
                out.append(section[i + 1:i + 2])
                i += 2
                continue
            if c in "#0" and not point:
                index = len(integer) - places + place
                if place == 0 and len(integer) > places:
                    digits = [(integer[j], len(integer) - j) for j in range(index + 1)]
                elif index >= 0:
                    digits = [(integer[index], len(integer) - index)]
                else:
                    digits = [("0", places - place)] if c == "0" else []
                for digit, remaining in digits:
                    if grouping and written and remaining % 3 == 0:
                        out.append(self.thousands)
                    out.append(digit)
                    written = True
                place += 1
            elif c in "#0":
                if fraction_at < len(fraction):
                    out.append(fraction[fraction_at])
                    fraction_at += 1
                elif c == "0":
                    out.append("0")
            elif c == ".":
                if not point:
                    out.append(self.decimal)
                point = True
            elif c in "%()":
                out.append(c)
            else:
                out.append(_sign_char(c, sign))
            i += 1
        return "".join(out)

    def _word(self, word, section, sign):
        out, i = [], 0
        while i < len(section):
            c = section[i]
            if c == "\\":
                out.append(section[i + 1:i + 2])
                i += 2
                continue
            if c in "#0.":
                if word:
                    out.append(word)
                word = ""
            elif c in "%()":
                out.append(c)
            else:
                out.append(_sign_char(c, sign))
            i += 1
        return "".join(out)


def _sign_char(c, sign):
    if c == "+" and sign != 0:
        return "-" if sign < 0 else "+"
    if c == "-" and sign < 0:
        return "-"
    if c in "eE":
        raise NotImplementedError("exponent patterns are not modelled")
    return ""  # every other character of a pattern is dropped


NUMBER = re.compile(r"[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?")


def val(text):
    if len(text) >= 2 and text[0] == "&":
        raise NotImplementedError("&h, &o and &b numbers are not modelled")
    match = NUMBER.match(text)
    return float(match.group(0)) if match else 0.0


def choose_section(pattern, value):
    sections, start, i = [], 0, 0
    while i < len(pattern):
        if pattern[i] == "\\":
            i += 2
            continue
        if pattern[i] == ";" and len(sections) < 2:
            sections.append(pattern[start:i])
            start = i + 1
        i += 1
    sections.append(pattern[start:])
    if value < 0 and len(sections) >= 2:
        return sections[1]
    if value == 0 and len(sections) == 3:
        return sections[2]
    return sections[0]


def scan(section):
    """Integer places, decimal places, whether "%" multiplies, whether ","
    groups."""
    places = decimals = 0
    point = percent = grouping = False
    i = 0
    while i < len(section):
        c = section[i]
        if c == "\\":
            i += 2
            continue
        if c in "#0":
            if point:
                decimals += 1
            else:
                places += 1
        point |= c == "."
        percent |= c == "%"
        grouping |= c == ","
        i += 1
    return places, decimals, percent, grouping


# The calculator's arithmetic, with IEEE 754 division.

def div(a, b):
    if b != 0:
        return a / b
    if a == 0 or math.isnan(a):
        return math.nan
    return math.copysign(math.inf, a) * math.copysign(1.0, b)


def to_int32(value):
    if -2147483649.0 < value < 2147483648.0:
        return int(value)
    return INT32_MIN


def aek_2003(x):
    rows = [
        (x >= 707.11, 111.24, div(x - 111.24, 108.263) * 8.26),
        (46.72 < x < 707.1, 0, div(x, 130) * 30),
        (39.93 < x <= 46.72, 10.78, 0),
        (30.93 < x < 39.93, 0, div(x, 137) * 37),
        (27.78 < x <= 30.93, 8.35, 0),
        (19.39 < x < 27.78, 0, div(x, 143) * 43),
        (17.98 < x <= 19.39, 5.83, 0),
        (12.84 < x < 17.98, 0, div(x, 148) * 48),
        (11.47 < x <= 12.83, 4.16, 0),
        (6.64 < x <= 11.46, 0, div(x, 157) * 57),
        (6.3 < x <= 6.63, 2.41, 0),
        (2.18 < x <= 6.29, 0, div(x, 162) * 62),
        (2.06 < x <= 2.17, 0.83, 0),
    ]
    for holds, fixed, proportional in rows:
        if holds:
            return x - fixed - proportional
    return x


RATES = {19: 0.19, 16: 0.16, 7: 0.07}


def calculate(rules, texts, rate=19):
    """The outputs of one calculation from the texts of the input fields
    (field name: text; a missing field is empty), as field name: text. The
    two messages are included where the calculation writes them."""
    def number(name):
        return rules.cdbl(texts.get(name, ""))

    aek, aufschlag, avk = number("AEKField"), number("AufschlagField"), number("AVKField")
    anzahl = to_int32(number("AnzahlField"))
    if anzahl == 0:
        anzahl = 1
    net = vat = gh = hersteller = 0.0
    if aek > 0:
        net = aek + aek / 100 * aufschlag
        gh = max(aek / 100 * number("GHRabattField"), 0.0)
        hersteller = max(aek / 100 * number("HerstellerField"), 0.0)
    elif avk > 0:
        vat = avk / (100 + rate) * rate
        net = avk - vat
        aek = aek_2003(net)
        aufschlag = div((net - aek) * 100, aek)
    vat = net * RATES[rate]
    aek_netto = aek - gh - hersteller
    avk = net + vat
    spanne = (net - aek_netto) / net * 100 if net > 0 else 0.0
    rohgewinn = anzahl * (net - aek_netto)
    change = avk / 100 * number("AnderungField")
    rohgewinn_neu = anzahl * ((net - aek_netto) + change)
    f = rules.format
    out = {
        "AEKField": f(aek, "######.00"),
        "AEKNettoText": f(aek_netto, "######.00"),
        "AufschlagField": f(aufschlag, "######.00\\%;-######.00\\%"),
        "nettoField": f(net, "######.00"),
        "USTField": f(vat, "######.00"),
        "AVKField": f(avk, "######.00"),
        "AVKNeuField": f(avk + change, "######.00"),
        "AnzahlField": f(float(anzahl), "######"),
        "SpanneField": f(spanne, "#####.00\\%;-######.00\\%"),
        "RohgewinnField": f(rohgewinn, "#####.00;-#####.00"),
        "RohgewinnNeuField": f(rohgewinn_neu, "#####.00;-#####.00"),
    }
    if rohgewinn_neu > 0:
        out["RohgewinnAnderungText"] = f(
            (1 - div(rohgewinn_neu, rohgewinn)) * 100 * -1, "#####.00\\%;-#####.00\\%")
        if rohgewinn_neu != rohgewinn:
            out["PariText"] = ("Sie müssen " + f(anzahl * div(rohgewinn, rohgewinn_neu), "######.00")
                               + " Packungen anstelle von " + f(float(anzahl), "######")
                               + " Packungen verkaufen, um den alten Rohgewinn von "
                               + f(rohgewinn, "#####.00;-#####.00") + "€ zu erreichen")
    else:
        out["PariText"] = ("Ihr Ertag ist negativ. Sie erwirtschaften nur noch Miese. "
                           "Sie können mir die" + f(rohgewinn_neu, "#####.00;-#####.00")
                           + "€ direkt überweisen ;-)")
    return out


def convert_tax(rules, text, source_rate):
    """What the tax converter writes into the other field when the field of
    `source_rate` (16 or 19) holds `text`."""
    other = 119 if source_rate == 16 else 116
    return rules.format(rules.cdbl(text) / (100 + source_rate) * other, "###,##0.00 \\€")
