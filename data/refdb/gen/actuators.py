#!/usr/bin/env python3
"""Writes data/refdb/rows_actuators.sql: the linear actuator catalogue and the seat-loading and
packing-friction factors of the actuator sizing.

    python3 data/refdb/gen/actuators.py

Deterministic; the output is committed and the build never runs this script. The spec sheet
generator (specsheet.py) imports the lists below so that its option texts stay identical to the
catalogue's texts.
"""

import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "rows_actuators.sql")

# Valve sizes shared by every size-keyed table: (ID, inch text, DN).
SIZES = [
    (1, '1/2"', 15), (2, '3/4"', 20), (3, '1"', 25), (4, '1-1/4"', 32), (5, '1-1/2"', 40),
    (6, '2"', 50), (7, '2-1/2"', 65), (8, '3"', 80), (9, '4"', 100), (10, '5"', 125),
    (11, '6"', 150), (12, '8"', 200), (13, '10"', 250), (14, '12"', 300), (15, '14"', 350),
    (16, '16"', 400), (17, '18"', 450), (18, '20"', 500), (19, '24"', 600),
]

# Pressure ratings: (ID, Display).
RATINGS = [(1, "ASME 150#"), (2, "ASME 300#"), (3, "ASME 600#"), (4, "ASME 900#"),
           (5, "ASME 1500#"), (6, "ASME 2500#")]

FAIL_CLOSED, FAIL_OPEN, FAIL_NONE = 1, 2, 3
FAIL_ACTIONS = [(FAIL_CLOSED, "Fail Closed"), (FAIL_OPEN, "Fail Open"), (FAIL_NONE, "Fail None")]

# Leakage classes after FCI 70-2, lowest first; SL scales the base seat loading. The tightest
# class is the last row: the actuator page drops the last row when a soft seat or class VI is
# ruled out.
SHUTOFF_CLASSES = [
    (1, "Class II", 0.5),
    (2, "Class III", 1.0),
    (3, "Class IV", 1.5),
    (4, "Class V", 4.0),
    (5, "Class VI", 5.0),
]

# Seat materials and their seat-loading factor SM; the soft seat is the last row.
SEAT_MATERIALS = [
    (1, "Metal - StSt", 1.0),
    (2, "Metal - Hard", 1.3),
    (3, "Soft - PTFE", 0.5),
]

# Packing sets and their friction factor FM against a single PTFE V-ring set.
PACKING_MATERIALS = [
    (1, "PTFE V-Ring", 1.0),
    (2, "PTFE Double V-Ring", 1.5),
    (3, "Graphite Braid", 3.5),
    (4, "Graphite Die-Formed", 3.0),
]

# Base seat loading, N per mm of seat circumference (about 40 lbf per inch: a metal seat that
# meets class III on an ASME 150# valve at ambient temperature).
SEAT_LOADING_BASE = 7.0

# Base packing friction, N per mm of stem diameter (a single PTFE V-ring set, about 100 lbf per
# inch of stem diameter).
PACKING_FRICTION_BASE = 17.5

# Seat-loading factor SR and packing-friction factor FR per pressure rating ID.
RATING_FACTORS = {1: (1.0, 1.0), 2: (1.2, 1.15), 3: (1.5, 1.4), 4: (1.8, 1.7), 5: (2.3, 2.0),
                  6: (3.0, 2.3)}

# Seat-loading factor per temperature band, edges in °C. Metal seats need more load when they
# grow or shrink away from the plug: cryogenic and hot service.
TEMPERATURE_BANDS_C = [(-273.15, -100.0, 1.5), (-100.0, -29.0, 1.2), (-29.0, 200.0, 1.0),
                       (200.0, 400.0, 1.25), (400.0, 1000.0, 1.5)]

# Seat-loading factor per valve size ID: small seats need relatively more load per mm.
def size_factor(size_id):
    if size_id <= 3:
        return 1.25
    if size_id <= 6:
        return 1.1
    return 1.0


# Actuator sizes: (ID, Display, longest stroke mm, piston bore mm, piston rod mm). The rod
# passes through the lower cylinder head, so the area below the piston is the annulus.
ACT_SIZES = [
    (1, "PA-100", 25, 100, 20),
    (2, "PA-150", 38, 150, 25),
    (3, "PA-200", 50, 200, 30),
    (4, "PA-250", 65, 250, 35),
    (5, "PA-300", 80, 300, 40),
    (6, "PA-400", 100, 400, 50),
    (7, "PA-500", 150, 500, 60),
    (8, "PA-600", 200, 600, 70),
]

# Actuator types: (ID, Display, Action, model prefix, size IDs offered, fail actions offered).
# Diaphragm actuators stop at 150 mm of stroke; the double-acting piston has no spring and so
# no fail action.
ACT_TYPES = [
    (1, "Spring Diaphragm", "Single", "TD", range(1, 8), (FAIL_CLOSED, FAIL_OPEN)),
    (2, "Spring Piston", "Single", "TS", range(1, 9), (FAIL_CLOSED, FAIL_OPEN)),
    (3, "Double Acting Piston", "Double", "TP", range(1, 9), (FAIL_NONE,)),
]

# Spring ranges as bench set in bar on the full piston area: the spring pushes with the lower
# pressure times the area at the start of its stroke and the higher at the end of the longest
# stroke.
SPRING_RANGES = [("Light", 0.8, 1.6), ("Medium", 1.4, 2.8), ("Heavy", 2.4, 4.0)]
NO_SPRING = "None"

# Pictures drawn closed and open, per type and fail action, relative to the program folder.
PICTURE_CODES = {1: "diaphragm", 2: "piston", 3: "double"}
FAIL_CODES = {FAIL_CLOSED: "fc", FAIL_OPEN: "fo", FAIL_NONE: ""}


def area_cm2(diameter_mm):
    return math.pi * (diameter_mm / 20.0) ** 2


def sql_text(s):
    return "'" + s.replace("'", "''") + "'"


def num(x):
    """Shortest decimal text of a float that reads back as the same value."""
    if float(x).is_integer():
        return str(int(x))
    return repr(float(x))


def model_name(prefix, size_display):
    return "%s-%s" % (prefix, size_display.split("-")[1])


def springs():
    """(ID, Display, Force N, Rate N/mm, size ID or None) in ID order."""
    rows = []
    next_id = 1
    for size_id, _, stroke, bore, _ in ACT_SIZES:
        area = area_cm2(bore)
        for name, low, high in SPRING_RANGES:
            force = round(10.0 * high * area, -1)
            rate = round(10.0 * (high - low) * area / stroke, 1)
            rows.append((next_id, name, force, rate, size_id))
            next_id += 1
    rows.append((next_id, NO_SPRING, 0.0, 0.0, None))
    return rows


def actuators():
    """(ID, Display, type ID, size ID, spring ID, fail action ID) in ID order: by type, size,
    spring, fail action, so that the actuator query lists types, sizes and springs in order."""
    spring_rows = springs()
    sizes = {s[0]: s for s in ACT_SIZES}
    rows = []
    next_id = 1
    for type_id, _, _, prefix, size_ids, fails in ACT_TYPES:
        for size_id in size_ids:
            model = model_name(prefix, sizes[size_id][1])
            if FAIL_NONE in fails:
                choices = [s for s in spring_rows if s[4] is None]
            else:
                choices = [s for s in spring_rows if s[4] == size_id]
            for spring in choices:
                for fail in fails:
                    rows.append((next_id, model, type_id, size_id, spring[0], fail))
                    next_id += 1
    return rows


def models():
    """Model names in catalogue order (types in order, sizes ascending)."""
    seen = []
    for row in actuators():
        if row[1] not in seen:
            seen.append(row[1])
    return seen


def spring_names():
    return [name for name, _, _ in SPRING_RANGES] + [NO_SPRING]


def pictures():
    """Act_Pictures rows and Act_Images rows."""
    pics = []
    images = []
    for type_id, _, _, _, _, fails in ACT_TYPES:
        for fail in fails:
            stem = PICTURE_CODES[type_id] + ("_" + FAIL_CODES[fail] if FAIL_CODES[fail] else "")
            closed_id = len(pics) + 1
            pics.append((closed_id, "data/act_%s_closed.jpg" % stem))
            open_id = len(pics) + 1
            pics.append((open_id, "data/act_%s_open.jpg" % stem))
            images.append((len(images) + 1, type_id, fail, closed_id, open_id))
    return pics, images


def temperature_bands():
    """(ID, TempMin K, TempMax K, Factor). The lookup asks TempMin < T < TempMax with T written
    to seven significant digits, so each band reaches 0.00005 K past its upper edge: a
    temperature on an edge falls in the lower band and none falls in two."""
    rows = []
    for i, (lo, hi, factor) in enumerate(TEMPERATURE_BANDS_C, start=1):
        tmin = 0.0 if i == 1 else round(lo + 273.15, 5)
        tmax = round(hi + 273.15 + 0.00005, 5)
        rows.append((i, tmin, tmax, factor))
    return rows


def insert(table, columns, rows):
    lines = ["INSERT INTO %s (%s) VALUES" % (table, ", ".join(columns))]
    body = []
    for row in rows:
        cells = [sql_text(v) if isinstance(v, str) else num(v) for v in row]
        body.append("  (" + ", ".join(cells) + ")")
    return "\n".join(lines) + "\n" + ",\n".join(body) + ";\n"


def main():
    out = []
    out.append("-- Linear actuators: catalogue, pictures, and the factors of the seat-loading and\n"
               "-- packing-friction lookups. Generated by data/refdb/gen/actuators.py; edit that\n"
               "-- script and run it again rather than editing this file.\n")

    out.append("\n-- Fail actions; the first is the default of a new item.\n")
    out.append(insert("Act_FailAction", ["ID", "Display"], FAIL_ACTIONS))

    out.append("\n-- Leakage classes (FCI 70-2) with their seat-loading factor; the tightest class last.\n")
    out.append(insert("Act_ShutOffClass", ["ID", "Display", "SL"], SHUTOFF_CLASSES))

    out.append("\n-- Seat materials with their seat-loading factor; the soft seat last.\n")
    out.append(insert("Act_SeatMaterial", ["ID", "Display", "SM"], SEAT_MATERIALS))

    out.append("\n-- Packing sets with their friction factor against a single PTFE V-ring set.\n")
    out.append(insert("Act_PackingMaterial", ["ID", "Display", "FM"], PACKING_MATERIALS))

    out.append("\n-- Actuator types; Action is shown followed by \" Acting\".\n")
    out.append(insert("Act_Type", ["ID", "Display", "Action"],
                      [(t[0], t[1], t[2]) for t in ACT_TYPES]))

    out.append("\n-- Sizes: longest stroke (mm) and piston areas (cm²) above the piston (full bore) and\n"
               "-- below it (bore less the piston rod). The number in the name is the bore in mm.\n")
    size_rows = []
    for size_id, name, stroke, bore, rod in ACT_SIZES:
        above = round(area_cm2(bore), 1)
        below = round(area_cm2(bore) - area_cm2(rod), 1)
        size_rows.append((size_id, name, stroke, above, below))
    out.append(insert("Act_Sizes", ["ID", "Display", "MaxStroke", "AreaAbove", "AreaBelow"],
                      size_rows))

    out.append("\n-- Springs: force fully compressed (N) and rate (N/mm), from bench ranges of\n"
               "-- 0.8-1.6 bar (Light), 1.4-2.8 bar (Medium) and 2.4-4.0 bar (Heavy) over the full\n"
               "-- piston area and the size's longest stroke. One set per size; the last row is the\n"
               "-- double-acting actuator's absent spring.\n")
    spring_rows = springs()
    sizes = {s[0]: s[1] for s in ACT_SIZES}
    lines = []
    for sid, name, force, rate, size_id in spring_rows:
        lines.append((sid, name, force, rate))
    text = insert("Act_Springs", ["ID", "Display", "Force", "Rate"], lines)
    # Name the size of each spring row beside it.
    annotated = []
    body = text.splitlines()
    annotated.append(body[0])
    for line, row in zip(body[1:], spring_rows):
        tag = sizes[row[4]] if row[4] else "no spring"
        annotated.append("%s  -- %s" % (line, tag))
    out.append("\n".join(annotated) + "\n")

    out.append("\n-- Actuator models: one row per type, size, spring and fail action, in the order the\n"
               "-- actuator lists show them.\n")
    out.append(insert("Actuators",
                      ["ID", "Display", "ActTypeId", "ActSizeId", "SpringId", "FailActionId"],
                      actuators()))

    pics, images = pictures()
    out.append("\n-- Actuator pictures (JPEG, relative to the program folder).\n")
    out.append(insert("Act_Pictures", ["ID", "Location"], pics))
    out.append("\n-- Closed and open picture per type and fail action.\n")
    out.append(insert("Act_Images",
                      ["ID", "ActTypeID", "FailActionID", "ClosedPictureID", "OpenPictureID"],
                      images))

    out.append("\n-- Required seat loading = Value * SL * SR * Factor * SM * SS (N per mm of seat\n"
               "-- circumference).\n")
    out.append(insert("Act_SeatLoading", ["ID", "Value"], [(1, SEAT_LOADING_BASE)]))

    out.append("\n-- Packing friction = stem diameter (mm) * Value * FR * FM (N).\n")
    out.append(insert("Act_PackingFriction", ["ID", "Value"], [(1, PACKING_FRICTION_BASE)]))

    out.append("\n-- Seat-loading (SR) and packing-friction (FR) factors per pressure rating; ID is the\n"
               "-- rating's ID.\n")
    out.append(insert("Act_PRating", ["ID", "SR", "FR"],
                      [(rid, RATING_FACTORS[rid][0], RATING_FACTORS[rid][1]) for rid, _ in RATINGS]))

    out.append("\n-- Seat-loading factor per temperature band (K). Bands: below -100 °C, -100 to -29 °C,\n"
               "-- -29 to 200 °C, 200 to 400 °C, 400 to 1000 °C.\n")
    out.append(insert("Act_ST", ["ID", "TempMin", "TempMax", "Factor"], temperature_bands()))

    out.append("\n-- Seat-loading factor per valve size; ID is the size's ID.\n")
    out.append(insert("Act_VlvSize", ["ID", "SS"], [(sid, size_factor(sid)) for sid, _, _ in SIZES]))

    with open(OUT, "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(out))


if __name__ == "__main__":
    main()
