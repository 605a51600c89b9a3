#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""An independent reading of the model-file rules, in Python with exact decimal
arithmetic, checked against velkora-cli on random and hostile designs.

Usage: model_oracle.py VELKORA_CLI [--rounds N] [--seed S]
Each round makes a store with velkora-cli init, fills it with random rows
through Python's sqlite3, has velkora-cli write every project for both targets
and axes under both separator conventions, and compares the bytes (or the
failure message) with what this file computes on its own.
"""
import argparse
import math
import os
import random
import sqlite3
import subprocess
import sys
import tempfile
from decimal import Decimal, ROUND_HALF_EVEN, localcontext


class ModelFailure(Exception):
    def __init__(self, message):
        super().__init__(message)
        self.where = []  # outermost first: project, element, section, field


class Conversion(ModelFailure):
    def __init__(self, src, dst):
        super().__init__(f"Could not convert variant of type ({src}) into type ({dst})")


def value_text(value):
    """A refused value as %g with the fewest digits that read back exactly."""
    if math.isnan(value):
        return "nan"
    if math.isinf(value):
        return "-inf" if value < 0 else "inf"
    for digits in range(1, 18):
        text = "%.*g" % (digits, value)
        if float(text) == value:
            return text
    return text


class Refusal(ModelFailure):
    """A value that would make a wrong model: named by the field's label."""
    def __init__(self, label, value, need):
        super().__init__(f"{label} is {value_text(value)}; {need}")


def refuse_unless(sound, label, value, need):
    if not sound:
        raise Refusal(label, value, need)
    return value


def at(place, convert):
    """convert(), with place put in front of where a conversion failed."""
    try:
        return convert()
    except Conversion as failure:
        failure.where.insert(0, place)
        raise


def double_of(row, field):
    return at(field, lambda: as_double(row[field]))


def text_of(row, field):
    return at(field, lambda: as_text(row[field]))


def kind(value):
    if value is None:
        return "Null"
    if isinstance(value, str):
        return "String"
    return "Number"


def as_double(value):
    if value is None or isinstance(value, str):
        raise Conversion(kind(value), "Double")
    return float(value)


def as_text(value):
    if value is None:
        raise Conversion("Null", "String")
    if isinstance(value, int):
        return str(value)
    return value


# ---- numbers -------------------------------------------------------------

def parse_pattern(pattern):
    before, dot, after = pattern.partition(".")
    d = sum(1 for c in after if c in "#0")
    fd = after.rfind("0") + 1 if "0" in after else 0
    integer = [c for c in before if c in "#0"]
    fi = len(integer) - integer.index("0") if "0" in integer else 0
    return d, fd, fi, "," in pattern


def eighteen_digits(magnitude):
    """The magnitude as 18 significant digits (ties to even) and E, with
    magnitude = 0.d1..d18 * 10**E."""
    exact = Decimal(magnitude)
    with localcontext() as ctx:
        ctx.prec = 18
        ctx.rounding = ROUND_HALF_EVEN
        rounded = +exact
    sign, digits, exponent = rounded.as_tuple()
    digits = "".join(map(str, digits)).ljust(18, "0")[:18]
    e = len(rounded.as_tuple().digits) + exponent
    return digits, e


def round_at(digits, e, n):
    """Half away from zero, keeping n digits; returns (digits, e) or None for zero."""
    if n < 0:
        return None
    if n >= 18:
        kept = digits
    elif n == 0:
        if digits[0] >= "5":
            return "1", e + 1
        return None
    else:
        kept = digits[:n]
        if digits[n] >= "5":
            number = int(kept) + 1
            text = str(number)
            if len(text) > n:
                e += 1
                text = text[:n]
            kept = text
    kept = kept.rstrip("0")
    if not kept:
        return None
    return kept, e


def general_form(value, dec):
    if math.isnan(value):
        return "NAN"
    if math.isinf(value):
        return "-INF" if value < 0 else "INF"
    digits, e = eighteen_digits(abs(value))
    digits, e = round_at(digits, e, 15)
    text = "-" if value < 0 else ""
    text += digits[0]
    if len(digits) > 1:
        text += dec + digits[1:]
    return text + "E" + str(e - 1)


def number_pattern(pattern, value, dec, thou):
    d, fd, fi, grouping = parse_pattern(pattern)
    zero = "0" * fi + (dec + "0" * fd if fd else "")
    if math.isnan(value) or math.isinf(value):
        return general_form(value, dec)
    if value == 0:
        return zero
    digits, e = eighteen_digits(abs(value))
    rounded = round_at(digits, e, min(e + d, 18))
    if rounded is None:
        return zero
    digits, e = rounded
    if e > 18:
        return general_form(value, dec)
    integer = (digits[:e].ljust(e, "0")) if e > 0 else ""
    integer = integer.rjust(fi, "0")
    if grouping and thou and thou != dec:  # a mark equal to the decimal mark groups nothing
        groups = []
        while len(integer) > 3:
            groups.insert(0, integer[-3:])
            integer = integer[:-3]
        integer = thou.join([integer] + groups) if integer else thou.join(groups)
    decimals = ("0" * -e + digits) if e < 0 else digits[e:]
    decimals = decimals.ljust(fd, "0")
    text = "-" if value < 0 else ""
    text += integer
    if decimals:
        text += dec + decimals
    return text


# ---- geometry ------------------------------------------------------------

def taper_walk(element, sections, axis):
    length = double_of(element, "LEN")
    remaining = refuse_unless(not length < 0, "SIZE", length, "an element needs a half-length of 0 or more")
    start = 0.0
    first_wire = True
    for i, section in enumerate(sections, start=1):
        piece = at(f"section {i}", lambda: double_of(section, "LENGTH"))
        refuse_unless(not piece < 0, "LENGTH", piece, "a section needs a length of 0 or more")
        if remaining >= piece:
            remaining -= piece
        else:
            piece = remaining
            remaining = 0.0
        if piece == 0:
            at(f"section {i}", lambda: double_of(section, "DIAMETER"))
            start += piece
            continue
        if i == 1:
            a, b = start + piece, -(start + piece)
        else:
            a, b = start, start + piece
        if first_wire:
            distance = double_of(element, "DISTANCE")
            height = double_of(element, "HEIGHT")
            first_wire = False
        diameter = at(f"section {i}", lambda: double_of(section, "DIAMETER"))
        if axis == "x":
            wire = (distance, a, height, distance, b, height)
        else:
            wire = (a, distance, height, b, distance, height)
        yield wire, diameter, False
        if i > 1:
            if axis == "x":
                mirror = (distance, -a, height, distance, -b, height)
            else:
                mirror = (-a, distance, height, -b, distance, height)
            yield mirror, diameter, True
        start += piece


# ---- writers -------------------------------------------------------------

def cp1252(text):
    return text.encode("cp1252", errors="replace")


def file_text(row, field):
    """A name as a model file writes it: each CR and each LF one blank."""
    return cp1252(text_of(row, field).replace("\r", " ").replace("\n", " "))


def element_wires(element, walk, ends_of, axis):
    """written_wires of one element; a failure names the element."""
    place = f'element "{element["NOME"]}"' if element["NOME"] is not None else f"element ID {element['ID']}"
    try:
        yield from written_wires(walk, ends_of, lambda wire, diameter: check_wire(element, axis, wire, diameter))
    except ModelFailure as failure:
        failure.where.insert(0, place)
        raise


def check_wire(element, axis, wire, diameter):
    """A written wire: finite end points, named by the field that made the
    coordinate, then a finite diameter above 0."""
    for i, value in enumerate(wire):
        if math.isfinite(value):
            continue
        if i % 3 == 2:
            label, field, need = "HEIGHT", "HEIGHT", "an element's height must be a finite number"
        elif (i % 3 == 0) == (axis == "x"):
            label, field, need = "OFFSET", "DISTANCE", "an element's place along the boom must be a finite number"
        else:
            label, field, need = "SIZE", "LEN", "an element needs a finite half-length"
        raise Refusal(label, float(element[field]), need)
    refuse_unless(math.isfinite(diameter), "DIAMETER", diameter, "a tube needs a finite diameter")
    refuse_unless(diameter > 0, "DIAMETER", diameter, "a tube needs a diameter above 0")


def written_wires(walk, ends_of, check):
    """The wires a file writes: one whose two ends read alike is left out,
    and the mirror of a left-out first wire goes with it. A written wire is
    checked before anything else of its line is read."""
    first_left_out = False
    for wire, diameter, mirror in walk:
        if mirror and first_left_out:
            COUNTS["left out"] += 1
            continue
        ends = ends_of(wire)
        left_out = ends[:3] == ends[3:]
        if not mirror:
            first_left_out = left_out
        if left_out:
            COUNTS["left out"] += 1
            continue
        check(wire, diameter)
        yield ends, diameter, mirror


def mmana(db, project, axis, dec, thou):
    def num(pattern, value):
        return number_pattern(pattern, value, dec, thou).replace(",", ".")

    out = [file_text(project, "NOME"), b"*"]
    f0 = double_of(project, "F0")
    refuse_unless(math.isfinite(f0) and f0 > 0, "F0", f0, "the design frequency must be a finite number above 0")
    out.append(num("0.000", f0).encode())
    wires = []
    for element in elements(db, project["ID"]):
        if element["TYPE"] == "Null":
            continue
        walk = taper_walk(element, sections(db, element["ID_TAPER"]), axis)
        for ends, diameter, mirror in element_wires(element, walk,
                                                    lambda w: [num("#####0.0##", c) for c in w], axis):
            radius = diameter / 2 / 1000
            fields = ends + [num("#####0.0###" if mirror else "#####0.0####", radius), "-1"]
            wires.append(",\t".join(fields).encode())
    out += [b"***Wires***", str(len(wires)).encode()] + wires
    out += [b"***Source***", b"1,\t0",
            file_text(project, "SOURCE_WIRE") + b",\t0.0,\t1.0",
            b"***Load***", b"0,\t1", b"***Segmentation***", b"800,\t80,\t2.0,\t2",
            b"***G/H/M/R/AzEl/X***"]
    height = double_of(project, "HEIGHT")
    refuse_unless(math.isfinite(height), "HEIGHT", height, "the height above ground must be a finite number")
    out.append(b"2,\t" + num("#####0.0###", height).encode() + b",\t4,\t50.0,\t120,\t60,\t0.0")
    return b"".join(line + b"\r\n" for line in out)


def eznec(db, project, axis, dec, thou):
    out = [b"; EZNec - Kelmot Velkora", b"m mm"]
    for element in elements(db, project["ID"]):
        walk = taper_walk(element, sections(db, element["ID_TAPER"]), axis)
        ends_of = lambda w: [number_pattern("###,##0.###", c, dec, thou) for c in w]
        for ends, diameter, _ in element_wires(element, walk, ends_of, axis):
            name = at(f"element ID {element['ID']}", lambda: file_text(element, "NOME"))
            numbers = ends + [number_pattern("###", diameter, dec, thou)]
            out.append(" ".join(numbers).encode() + b"         // " + name)
    return b"".join(line + b"\r\n" for line in out)


def elements(db, project_id):
    return db.execute("SELECT * FROM ELEMENTS E WHERE E.ID_PROJECT = ? ORDER BY E.DISTANCE, E.ID",
                      (project_id,)).fetchall()


def sections(db, taper_id):
    return db.execute('SELECT * FROM TAPER_SIZES T WHERE T.ID_TAPER = ? ORDER BY T."ORDER", T.rowid',
                      (taper_id,)).fetchall()


# ---- random designs --------------------------------------------------------

HOSTILITY = {"rate": 0.0}


def hostile(rng, good):
    """Now and then a missing value or text where a number belongs."""
    roll = rng.random()
    if roll < HOSTILITY["rate"] * 0.75:
        return None
    if roll < HOSTILITY["rate"]:
        return "abc"
    return good()


def random_number(rng):
    kind = rng.random()
    if kind < 0.5:
        return round(rng.uniform(-50, 50), rng.randint(0, 6))
    if kind < 0.7:
        k = rng.randint(-3, 3000)
        d = rng.choice([3, 4, 5])
        return math.nextafter(k + 0.5 * 10 ** -d, rng.choice([0, 1e9]))
    if kind < 0.8:
        return rng.uniform(-1e7, 1e7)
    if kind < 0.85:
        return rng.choice([0.0, -0.0, 1e18, 2e18, 1.5e20, -9.99999e22, 1e-9, 12.7, 0.0005,
                           999.9996, 9.9996, float("inf"), -float("inf")])
    return rng.randint(-2000, 2000)


def unsound_now_and_then(rng):
    """A random number, now and then one no model can be made of."""
    return rng.choice(UNSOUND) if rng.random() < 0.03 else random_number(rng)


TEXTS = ["Reflector", "Driven", "Dir 1", "", "Ré-flecteur", "€ half", "日本", "a,b", "w4c", "tab\there",
         "El\r\n0,\t0,\t0,\t0,\t0,\t0,\t0.001,\t-1", "cr\ronly", "lf\n"]


UNSOUND = [-0.5, -1e-9, -float("inf"), float("inf"), 1e308]


def element_length(rng, db, taper):
    """Mostly random; now and then a partial sum of the schedule's lengths or
    a hair past one, where wires of zero length lurk, or a length no model
    can be made of."""
    if rng.random() < 0.03:
        return rng.choice(UNSOUND)
    lengths = [row["LENGTH"] for row in sections(db, taper)]
    lengths = [x for x in lengths if isinstance(x, (int, float))]
    if lengths and rng.random() < 0.4:
        total = 0.0
        for length in lengths[:rng.randint(1, len(lengths))]:
            total += length
        return total + rng.choice([0.0, 0.0, 0.0003, 0.0004, -0.0002])
    return round(rng.uniform(0, 6), rng.randint(0, 5))


def fill(db, rng):
    for _ in range(rng.randint(1, 3)):
        db.execute("INSERT INTO TAPER (NOME, UM) VALUES (?, 'm,mm')", (rng.choice(TEXTS),))
    tapers = [row[0] for row in db.execute("SELECT ID FROM TAPER")]
    for taper in tapers:
        for order in range(1, rng.randint(0, 6) + 1):
            db.execute('INSERT INTO TAPER_SIZES (ID_TAPER, "ORDER", DIAMETER, LENGTH) VALUES (?,?,?,?)',
                       (taper, rng.choice([order, order, 1]),
                        hostile(rng, lambda: abs(random_number(rng)) if rng.random() < .9
                                else rng.choice([0.0, -12.7, float("inf")]) if rng.random() < .3
                                else random_number(rng)),
                        hostile(rng, lambda: round(rng.uniform(0, 1.5), rng.randint(0, 4))
                                if rng.random() > 0.03 else rng.choice(UNSOUND))))
    for _ in range(rng.randint(1, 3)):
        db.execute("INSERT INTO PROJECTS (NOME, F0, SOURCE_WIRE, HEIGHT) VALUES (?,?,?,?)",
                   (hostile(rng, lambda: rng.choice(TEXTS)),
                    hostile(rng, lambda: abs(random_number(rng)) if rng.random() < .8 else random_number(rng)),
                    hostile(rng, lambda: rng.choice(TEXTS)),
                    hostile(rng, lambda: rng.randint(0, 40) if rng.random() > 0.03 else rng.choice(UNSOUND))))
    projects = [row[0] for row in db.execute("SELECT ID FROM PROJECTS")]
    for project in projects:
        for _ in range(rng.randint(0, 6)):
            taper = rng.choice(tapers + [None, 999])
            db.execute("INSERT INTO ELEMENTS (ID_PROJECT, NOME, TYPE, LEN, ID_TAPER, DISTANCE, HEIGHT)"
                       " VALUES (?,?,?,?,?,?,?)",
                       (project, hostile(rng, lambda: rng.choice(TEXTS)),
                        rng.choice(["Element", "Driver", "Null", "null", None, ""]),
                        hostile(rng, lambda: element_length(rng, db, taper)),
                        taper,
                        hostile(rng, lambda: unsound_now_and_then(rng)),
                        hostile(rng, lambda: unsound_now_and_then(rng))))
    db.commit()
    return projects


def one_line(message):
    return message.replace("\r", " ").replace("\n", " ")


def dotted(message):
    return message + "." if message and message[-1] > "." else message


COUNTS = {"files": 0, "failures": 0, "left out": 0, "refused": 0}
EARLIER = b"an earlier model\r\n"
LABELS = {}  # refusals by field label


def check_round(cli, rng, workdir):
    HOSTILITY["rate"] = rng.choice([0.0, 0.0, 0.01, 0.04])
    subprocess.run([cli, "init", workdir], check=True, capture_output=True)
    db = sqlite3.connect(os.path.join(workdir, "velkora.db"))
    db.row_factory = sqlite3.Row
    failures = 0
    for project_id in fill(db, rng):
        project = db.execute("SELECT * FROM PROJECTS WHERE ID = ?", (project_id,)).fetchone()
        for target, writer in (("mmana", mmana), ("eznec", eznec)):
            for axis in ("x", "y"):
                # None: no --thousands-separator, so the C locale's "," meets a "," decimal mark.
                for dec, thou in ((".", ","), (",", "."), (".", ""), (",", None)):
                    refused = False
                    try:
                        expected, message = writer(db, project, axis, dec, "," if thou is None else thou), None
                    except ModelFailure as failure:
                        refused = isinstance(failure, Refusal)
                        if refused:
                            LABELS[str(failure).split(" ")[0]] = LABELS.get(str(failure).split(" ")[0], 0) + 1
                        where = ", ".join([f"project {project_id}"] + failure.where)
                        message = one_line(f"velkora-cli: {where}: {dotted(str(failure))}")
                        expected = None
                    # An earlier model that a failure must leave as it was, now and
                    # then with a second hard link, so that it is written in place.
                    output = os.path.join(workdir, "model.out")
                    for name in (output, output + ".link"):
                        if os.path.exists(name):
                            os.remove(name)
                    with open(output, "wb") as f:
                        f.write(EARLIER)
                    if rng.random() < 0.25:
                        os.link(output, output + ".link")
                    separators = ["--decimal-separator", dec]
                    if thou is not None:
                        separators += ["--thousands-separator", thou]
                    run = subprocess.run([cli, "generate", "--target", target, "--axis", axis,
                                          "--output", output, "--project", str(project_id)] + separators,
                                         cwd=workdir, capture_output=True,
                                         env=dict(os.environ, LC_ALL="C"))
                    case = f"project {project_id} {target} {axis} '{dec}' '{thou}'"
                    COUNTS["failures" if message is not None else "files"] += 1
                    COUNTS["refused"] += refused
                    if message is not None:
                        got = run.stderr.decode(errors="replace").strip()
                        with open(output, "rb") as f:
                            kept = f.read() == EARLIER
                        if run.returncode != 1 or got != message or not kept:
                            print(f"FAIL {case}: expected failure {message!r}, got exit "
                                  f"{run.returncode} {got!r}")
                            failures += 1
                        continue
                    if run.returncode != 0:
                        print(f"FAIL {case}: exit {run.returncode}: {run.stderr.decode(errors='replace')}")
                        failures += 1
                        continue
                    with open(output, "rb") as f:
                        got = f.read()
                    if got != expected:
                        got_lines, want_lines = got.split(b"\r\n"), expected.split(b"\r\n")
                        for n, (g, w) in enumerate(zip(got_lines, want_lines), start=1):
                            if g != w:
                                print(f"FAIL {case} line {n}:\n  got  {g!r}\n  want {w!r}")
                                break
                        else:
                            print(f"FAIL {case}: {len(got_lines)} lines, expected {len(want_lines)}")
                        failures += 1
    db.close()
    return failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cli")
    parser.add_argument("--rounds", type=int, default=40)
    parser.add_argument("--seed", type=int, default=20261208)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    failures = 0
    for n in range(args.rounds):
        with tempfile.TemporaryDirectory() as workdir:
            failures += check_round(os.path.abspath(args.cli), rng, workdir)
    print(f"{args.rounds} rounds: {COUNTS['files']} files and {COUNTS['failures']} failure"
          f" messages compared ({COUNTS['refused']} refused values,"
          f" {COUNTS['left out']} zero-length wires left out),"
          f" {failures} mismatches; refused by field: {dict(sorted(LABELS.items()))}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
