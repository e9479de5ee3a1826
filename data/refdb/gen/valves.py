#!/usr/bin/env python3
"""Writes data/refdb/rows_valves.sql: the valve catalogue, body bores, diffuser plates and
disk-stack trim defaults.

The catalogue is generated from one table of typical values per valve style (type and trim):
capacity per square inch of nominal size, pressure recovery, pressure differential ratio and
style modifier curves over travel for each flow direction, cavitation and noise data, power
ratings, and the sizes and ratings the style is built in. Sizes, strokes, stems and actuators
follow per-size tables. Run it from anywhere; it writes its output next to this folder.

    python3 data/refdb/gen/valves.py
"""

import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), "rows_valves.sql")

# --------------------------------------------------------------------------------------------
# Shared size list: ID, size text, DN (mm), nominal size in inches.
# --------------------------------------------------------------------------------------------
SIZES = [
    (1, '1/2"', 15, 0.5),
    (2, '3/4"', 20, 0.75),
    (3, '1"', 25, 1.0),
    (4, '1-1/4"', 32, 1.25),
    (5, '1-1/2"', 40, 1.5),
    (6, '2"', 50, 2.0),
    (7, '2-1/2"', 65, 2.5),
    (8, '3"', 80, 3.0),
    (9, '4"', 100, 4.0),
    (10, '5"', 125, 5.0),
    (11, '6"', 150, 6.0),
    (12, '8"', 200, 8.0),
    (13, '10"', 250, 10.0),
    (14, '12"', 300, 12.0),
    (15, '14"', 350, 14.0),
    (16, '16"', 400, 16.0),
    (17, '18"', 450, 18.0),
    (18, '20"', 500, 20.0),
    (19, '24"', 600, 24.0),
]
SIZE = {s[0]: s for s in SIZES}

# Pressure ratings (PRating.ID -> class).
RATINGS = {1: 150, 2: 300, 3: 600, 4: 900, 5: 1500, 6: 2500}

# Actuator sizes and their maximum strokes (mm).
ACTUATORS = [("PA-100", 25), ("PA-150", 38), ("PA-200", 50), ("PA-250", 65),
             ("PA-300", 80), ("PA-400", 100), ("PA-500", 150), ("PA-600", 200)]

# --------------------------------------------------------------------------------------------
# Body bores. A body's flow bore is taken as the inside diameter of the pipe whose wall suits
# the rating: 150# and 300# standard wall (Sch 40), 600# Sch 80, 900# Sch 120 (Sch 80 below
# 4", where no Sch 120 exists), 1500# Sch 160, 2500# the heavier of XXS and Sch 160 from 2"
# (Sch 160 below, where XXS would leave a bore too small for a body).
# ASME B36.10M outside diameters and wall thicknesses, mm.
# --------------------------------------------------------------------------------------------
PIPE = {  # size ID: (OD, Sch40, Sch80, Sch120, Sch160, XXS)
    1: (21.3, 2.77, 3.73, None, 4.78, 7.47),
    2: (26.7, 2.87, 3.91, None, 5.56, 7.82),
    3: (33.4, 3.38, 4.55, None, 6.35, 9.09),
    4: (42.2, 3.56, 4.85, None, 6.35, 9.70),
    5: (48.3, 3.68, 5.08, None, 7.14, 10.15),
    6: (60.3, 3.91, 5.54, None, 8.74, 11.07),
    7: (73.0, 5.16, 7.01, None, 9.53, 14.02),
    8: (88.9, 5.49, 7.62, None, 11.13, 15.24),
    9: (114.3, 6.02, 8.56, 11.13, 13.49, 17.12),
    10: (141.3, 6.55, 9.53, 12.70, 15.88, 19.05),
    11: (168.3, 7.11, 10.97, 14.27, 18.26, 21.95),
    12: (219.1, 8.18, 12.70, 18.26, 23.01, 22.23),
    13: (273.1, 9.27, 15.09, 21.44, 28.58, 25.40),
    14: (323.8, 10.31, 17.48, 25.40, 33.32, 25.40),
    15: (355.6, 11.13, 19.05, 27.79, 35.71, None),
    16: (406.4, 12.70, 21.44, 30.96, 40.49, None),
    17: (457.0, 14.27, 23.83, 34.93, 45.24, None),
    18: (508.0, 15.09, 26.19, 38.10, 50.01, None),
    19: (610.0, 17.48, 30.96, 46.02, 59.54, None),
}


def bore(size_id, rating_id):
    od, s40, s80, s120, s160, xxs = PIPE[size_id]
    cls = RATINGS[rating_id]
    if cls <= 300:
        wall = s40
    elif cls == 600:
        wall = s80
    elif cls == 900:
        wall = s120 if s120 is not None else s80
    elif cls == 1500 or size_id < 6:
        wall = s160
    else:
        wall = max(w for w in (xxs, s160) if w is not None)
    return round(od - 2 * wall, 1)


# --------------------------------------------------------------------------------------------
# Per-size mechanical data.
# --------------------------------------------------------------------------------------------
# Rated travel of plug valves (mm).
GLOBE_STROKE = {1: 19, 2: 19, 3: 19, 4: 25, 5: 25, 6: 29, 7: 38, 8: 38, 9: 51, 10: 57,
                11: 64, 12: 76, 13: 89, 14: 102, 15: 114, 16: 127}
# Linear actuator travel that turns a disc through its full angle, via lever or yoke (mm).
BUTTERFLY_STROKE = {6: 25, 7: 25, 8: 25, 9: 38, 10: 38, 11: 38, 12: 50, 13: 50, 14: 65,
                    15: 65, 16: 80, 17: 80, 18: 100, 19: 100}
DISK_STROKE = {6: 38, 7: 38, 8: 38, 9: 50, 10: 50, 11: 50, 12: 65, 13: 65, 14: 80, 15: 80,
               16: 100, 17: 100, 18: 150, 19: 150}
# Plug stem diameters (mm): 3/8", 1/2", 3/4", 1", 1-1/4", 1-1/2", 2".
PLUG_STEM = {1: 9.5, 2: 9.5, 3: 9.5, 4: 12.7, 5: 12.7, 6: 12.7, 7: 19.1, 8: 19.1, 9: 19.1,
             10: 25.4, 11: 25.4, 12: 31.8, 13: 38.1, 14: 38.1, 15: 50.8, 16: 50.8}
# Disc shaft diameters (mm).
DISC_SHAFT = {6: 12.7, 7: 15.9, 8: 15.9, 9: 19.1, 10: 22.2, 11: 25.4, 12: 31.8, 13: 38.1,
              14: 44.5, 15: 50.8, 16: 57.2, 17: 63.5, 18: 69.9, 19: 76.2}

# Heavier classes: the port shrinks with the thicker body (seat factor, Cv goes with its
# square), the stem grows, and the actuator steps up to carry the larger seat loads.
SEAT_FACTOR = {1: 1.0, 2: 1.0, 3: 1.0, 4: 1.0, 5: 0.95, 6: 0.9}
STEM_FACTOR = {1: 1.0, 2: 1.0, 3: 1.0, 4: 1.25, 5: 1.25, 6: 1.5}
ACT_STEP = {1: 0, 2: 0, 3: 0, 4: 1, 5: 1, 6: 2}


def std_actuator(stroke, rating_id):
    first = next(i for i, (_, mx) in enumerate(ACTUATORS) if mx >= stroke)
    return ACTUATORS[min(first + ACT_STEP[rating_id], len(ACTUATORS) - 1)][0]


# --------------------------------------------------------------------------------------------
# Curves.
# --------------------------------------------------------------------------------------------
def num(v):
    """A number as curve and SQL text: at most 4 decimals, no trailing zeros."""
    s = ("%.4f" % v).rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def bezier(*segments):
    return "".join(num(v) + "\\" for seg in segments for point in seg for v in point)


def factor_curve(low, full):
    """A factor over relative travel: flat near the seat, moving to its full-travel value."""
    mid = full + 0.3 * (low - full)
    return bezier([(0, low), (0.4, low), (0.75, mid), (1, full)])


def polyline(points):
    return "".join(num(x) + "\\" + num(y) + "\\" for x, y in points)


LINEAR = bezier([(0, 0), (1 / 3, 1 / 3), (2 / 3, 2 / 3), (1, 1)])
EQUAL_PCT = bezier([(0, 0), (1 / 3, 0.02), (2 / 3, 0.06), (1, 1)])
QUICK_OPENING = bezier([(0, 0), (1 / 3, 0.7), (2 / 3, 0.95), (1, 1)])
DISC_EQUAL_PCT = bezier([(0, 0), (1 / 3, 0.02), (2 / 3, 0.35), (1, 1)])
# Three straight sections: a low-capacity section near the seat for the severe drops at small
# openings, a middle section, and a high-capacity section. Turning points at 30 % travel /
# 8 % capacity and 60 % / 35 %, written as the characteristic editor writes a curve.
SECTIONED = bezier([(0, 0), (0, 0), (0.3, 0.08), (0.3, 0.08)],
                   [(0.3, 0.08), (0.3, 0.08), (0.6, 0.35), (0.6, 0.35)],
                   [(0.6, 0.35), (0.6, 0.35), (1, 1), (1, 1)])
USER_DEFINED = "<user defined>"

# Multi-stage noise reduction (dB, negative: quieter) against the pressure-drop ratio dp/p1,
# from the stage reductions over p1/p2 of 1.0 ... 5.4 (dp/p1 = 1 - p2/p1), held beyond.
_RATIOS = [1.0, 1.2, 1.5, 1.9, 2.4, 3.0, 3.7, 4.5, 5.4]
_REDUCTION = {2: [0, 3, 7, 10, 10, 10, 9.5, 9.5, 9], 3: [0, 4, 9, 12, 13.5, 14, 14, 13.5, 13.5]}


def dlwg(stages):
    pts = [(1 - 1 / r, -db) for r, db in zip(_RATIOS, _REDUCTION[stages])]
    pts.append((1.0, pts[-1][1]))
    return polyline(pts)


FLAT_DELTA_LF = polyline([(0, 0), (1, 0)])

# --------------------------------------------------------------------------------------------
# Lookup tables.
# --------------------------------------------------------------------------------------------
VALVE_TYPES = [  # ID, Display, Actuator
    (1, "Globe", "Linear"),
    (2, "Angle", "Linear"),
    (3, "Butterfly", "Rotary"),
    (4, "Disk", "Linear"),
]
TRIMS = [(1, "Standard"), (2, "Cav Control"), (3, "ED Disk Stack"), (4, "ZZ"),
         (5, "Low Noise - 1 Stage"), (6, "Low Noise - 2 Stage"), (7, "Low Noise - 3 Stage")]
DIRNS = [(1, "Over"), (2, "Under")]
OBTURATORS = [(1, "Linear Trim"), (2, "Equal Percentage Trim"), (3, "Quick Opening Trim"),
              (4, "Sectioned Trim"), (5, "Linear Disc"), (6, "Equal Percentage Disc")]
# ValveChar: ID, Display, obturator, editable, default curve, catalogue curve, Cv factor,
# code used in model names.
CHARS = [
    (1, "Linear", 1, 0, LINEAR, LINEAR, 1.0, "L"),
    (2, "Equal Percentage", 2, 0, EQUAL_PCT, EQUAL_PCT, 0.85, "E"),
    (3, "Quick Opening", 3, 0, QUICK_OPENING, QUICK_OPENING, 1.05, "Q"),
    (4, "Sectioned - Cav Control", 4, 1, SECTIONED, USER_DEFINED, 1.0, "S"),
    (5, "Linear", 5, 0, LINEAR, LINEAR, 1.0, "L"),
    (6, "Equal Percentage", 6, 0, DISC_EQUAL_PCT, DISC_EQUAL_PCT, 1.0, "E"),
]
CHAR = {c[0]: c for c in CHARS}

# Pictures and description texts of the valve specification page, drawn and written by
# data/images/gen_pictures.py and installed beside the program under data/valves/. Only the plug
# profiles (obturators 1 to 3) have a characteristic picture.
PICTURES = "data/valves/"
TYPE_FILES = {"Globe": "type_globe", "Angle": "type_angle", "Butterfly": "type_butterfly", "Disk": "type_disk"}
TRIM_FILES = {"Standard": "trim_standard", "Cav Control": "trim_cav_control",
              "ED Disk Stack": "trim_ed_disk_stack", "ZZ": "trim_zz",
              "Low Noise - 1 Stage": "trim_low_noise_1", "Low Noise - 2 Stage": "trim_low_noise_2",
              "Low Noise - 3 Stage": "trim_low_noise_3"}
CHAR_FILES = {1: "char_linear", 2: "char_equal_percentage", 3: "char_quick_opening"}


def picture(stem):
    return PICTURES + stem + ".jpg" if stem else "<none>"


def description(stem):
    return PICTURES + stem + ".txt" if stem else "<none>"
TYPE_ID = {t[1]: t[0] for t in VALVE_TYPES}
TRIM_ID = {t[1]: t[0] for t in TRIMS}
DIRN_ID = {d[1]: d[0] for d in DIRNS}


# Sizes and ratings a style is built in: (size ID range, {rating ID: largest size ID}).
def offered(first, last, top):
    return [(s, r) for s in range(first, last + 1) for r, biggest in sorted(top.items())
            if s <= biggest]


PLUG_RATINGS = {1: 16, 2: 16, 3: 16, 4: 14, 5: 14, 6: 12}
CAGE_RATINGS = {1: 14, 2: 14, 3: 14, 4: 14, 5: 14, 6: 12}
ZZ_RATINGS = {2: 12, 3: 12, 4: 12, 5: 12, 6: 12}
BUTTERFLY_RATINGS = {1: 19, 2: 19, 3: 14}
DISK_RATINGS = {1: 19, 2: 19, 3: 19}


def style(**kw):
    base = dict(reduced=False, combo_k=None, ldratio=None, cn=None, fdn=None, fln=None,
                dlwg=None, stroke=GLOBE_STROKE, stroke_factor=1.0, stem=PLUG_STEM,
                balanced=True, delta_lf=FLAT_DELTA_LF)
    base.update(kw)
    return base


# Flow direction "Over" is flow tending to close the plug, "Under" flow tending to open it.
# Factor curves per direction: (FL, xT, Fd), each as (value near the seat, value at full travel).
STYLES = {
    ("Globe", "Standard"): style(
        model="QG10", k=12.5, seat=0.85, fi=0.6, stages=0, lp=15, gp=60, etaf=1.0e-8,
        reduced=True, sizes=offered(1, 16, PLUG_RATINGS),
        curves={"Over": ((0.92, 0.80), (0.70, 0.55), (0.90, 1.0)),
                "Under": ((0.97, 0.90), (0.80, 0.72), (0.20, 0.46))}),
    ("Globe", "Cav Control"): style(
        model="QG30", k=6.5, seat=0.85, fi=0.85, stages=2, lp=40, gp=100, etaf=0.5e-8,
        combo_k=10.4, sizes=offered(3, 14, CAGE_RATINGS),
        delta_lf=polyline([(0, 0), (0.5, -3), (1, -8)]),
        curves={"Over": ((0.98, 0.96), (0.85, 0.80), (0.10, 0.13))}),
    ("Globe", "ED Disk Stack"): style(
        model="QG50", k=2.8, seat=0.75, fi=0.95, stages=255, lp=120, gp=300, etaf=0.3e-8,
        combo_k=6.5, cn=3.2, fdn=0.25, fln=0.85, stroke_factor=1.25,
        sizes=offered(3, 14, CAGE_RATINGS),
        delta_lf=polyline([(0, 0), (0.5, -5), (1, -12)]),
        curves={"Over": ((0.995, 0.99), (0.92, 0.88), (0.08, 0.12)),
                "Under": ((0.995, 0.99), (0.92, 0.88), (0.08, 0.12))}),
    ("Globe", "ZZ"): style(
        model="QG60", k=1.8, seat=0.7, fi=0.95, stages=255, lp=100, gp=250, etaf=0.3e-8,
        combo_k=6.5, cn=3.0, fdn=0.3, fln=0.85, stroke_factor=1.25,
        sizes=offered(3, 12, ZZ_RATINGS),
        delta_lf=polyline([(0, 0), (0.5, -5), (1, -12)]),
        curves={"Over": ((0.995, 0.99), (0.93, 0.90), (0.06, 0.10))}),
    ("Globe", "Low Noise - 1 Stage"): style(
        model="QG21", k=8.5, seat=0.85, fi=0.7, stages=1, lp=25, gp=100, etaf=0.7e-8,
        ldratio=1.5, sizes=offered(3, 16, PLUG_RATINGS),
        curves={"Under": ((0.95, 0.92), (0.80, 0.75), (0.12, 0.18))}),
    ("Globe", "Low Noise - 2 Stage"): style(
        model="QG22", k=5.5, seat=0.85, fi=0.8, stages=2, lp=35, gp=150, etaf=0.6e-8,
        cn=1.9, fdn=0.14, fln=0.92, dlwg=dlwg(2), sizes=offered(3, 16, PLUG_RATINGS),
        curves={"Under": ((0.98, 0.97), (0.85, 0.82), (0.10, 0.14))}),
    ("Globe", "Low Noise - 3 Stage"): style(
        model="QG23", k=4.0, seat=0.85, fi=0.85, stages=3, lp=45, gp=200, etaf=0.5e-8,
        cn=2.65, fdn=0.12, fln=0.95, dlwg=dlwg(3), sizes=offered(3, 16, PLUG_RATINGS),
        curves={"Under": ((0.99, 0.98), (0.88, 0.85), (0.08, 0.12))}),
    ("Angle", "Standard"): style(
        model="QA10", k=13.5, seat=0.85, fi=0.6, stages=0, lp=18, gp=70, etaf=1.0e-8,
        sizes=offered(3, 14, CAGE_RATINGS),
        curves={"Over": ((0.90, 0.80), (0.75, 0.65), (0.90, 1.0)),
                "Under": ((0.96, 0.90), (0.80, 0.72), (0.20, 0.46))}),
    ("Angle", "Cav Control"): style(
        model="QA30", k=7.0, seat=0.85, fi=0.85, stages=2, lp=45, gp=110, etaf=0.5e-8,
        combo_k=11.2, sizes=offered(3, 14, CAGE_RATINGS),
        delta_lf=polyline([(0, 0), (0.5, -3), (1, -8)]),
        curves={"Over": ((0.98, 0.96), (0.85, 0.80), (0.10, 0.13))}),
    ("Butterfly", "Standard"): style(
        model="QB20", k=40.0, seat=0.92, fi=0.5, stages=0, lp=6, gp=25, etaf=2.0e-8,
        stroke=BUTTERFLY_STROKE, stem=DISC_SHAFT, balanced=False,
        sizes=offered(6, 19, BUTTERFLY_RATINGS),
        delta_lf=polyline([(0, 0), (0.5, 1), (1, 3)]),
        curves={"Over": ((0.90, 0.56), (0.70, 0.25), (0.30, 0.57)),
                "Under": ((0.90, 0.56), (0.70, 0.25), (0.30, 0.57))}),
    ("Disk", "Standard"): style(
        model="QD40", k=28.0, seat=0.9, fi=0.55, stages=0, lp=10, gp=40, etaf=1.5e-8,
        stroke=DISK_STROKE, stem=DISC_SHAFT, balanced=False,
        sizes=offered(6, 19, DISK_RATINGS),
        delta_lf=polyline([(0, 0), (0.5, 0.5), (1, 2)]),
        curves={"Over": ((0.90, 0.68), (0.70, 0.38), (0.35, 0.57)),
                "Under": ((0.90, 0.65), (0.68, 0.35), (0.35, 0.57))}),
}

# The specification choices: type, trim, flow direction, characteristic IDs, and the analysis
# types (liquid, gas, two-phase) they suit. A combination that includes the sectioned
# characteristic is a combined trim.
L, G, T = (1, 0, 0), (0, 1, 0), (1, 1, 1)
OFFERS = [
    ("Globe", "Standard", "Over", [1, 2, 3], T),
    ("Globe", "Standard", "Under", [1, 2, 3], T),
    ("Globe", "Cav Control", "Over", [1, 2, 4], L),
    ("Globe", "ED Disk Stack", "Over", [1, 2, 4], L),
    ("Globe", "ED Disk Stack", "Under", [1, 2], G),
    ("Globe", "ZZ", "Over", [1, 4], L),
    ("Globe", "Low Noise - 1 Stage", "Under", [1, 2], G),
    ("Globe", "Low Noise - 2 Stage", "Under", [1, 2], G),
    ("Globe", "Low Noise - 3 Stage", "Under", [1, 2], G),
    ("Angle", "Standard", "Over", [1, 2], T),
    ("Angle", "Standard", "Under", [1, 2], T),
    ("Angle", "Cav Control", "Over", [1, 2, 4], L),
    ("Butterfly", "Standard", "Over", [6], (1, 1, 0)),
    ("Butterfly", "Standard", "Under", [6], (1, 1, 0)),
    ("Disk", "Standard", "Over", [5, 6], (1, 1, 0)),
    ("Disk", "Standard", "Under", [5, 6], (1, 1, 0)),
]

# Reduced-port trims: a smaller port in the same body, for lines whose flow a full port would
# control too near its seat. Offered with the linear and equal-percentage plugs.
REDUCED_CV = 0.4
REDUCED_SEAT = 0.63


def sig(v, digits=3):
    """v rounded to a number of significant figures."""
    if v == 0:
        return 0.0
    return round(v, digits - 1 - int(math.floor(math.log10(abs(v)))))


# --------------------------------------------------------------------------------------------
# Disk-stack trim defaults per size (sizes that offer ED or ZZ trims): disk thickness (mm),
# passages per disk, and the outer diameter of the stack around the largest ED seat.
# --------------------------------------------------------------------------------------------
DISK_THICKNESS = {3: 2.0, 4: 2.5, 5: 2.5, 6: 3.0, 7: 3.5, 8: 3.5, 9: 4.0, 10: 5.0, 11: 5.0,
                  12: 6.0, 13: 6.5, 14: 6.5}
PASSAGES = {3: 4, 4: 5, 5: 6, 6: 8, 7: 9, 8: 10, 9: 12, 10: 14, 11: 16, 12: 20, 13: 24,
            14: 28}
STACK_OD_TO_SEAT = 1.7
OUTLET_WIDTH_LIMIT = 70.0  # percent of the outlet circumference taken by passages
DISK_AREA_LIMIT = 60.0     # percent of the disk annulus taken by passages


def sql_text(s):
    return "NULL" if s is None else "'" + s.replace("'", "''") + "'"


def sql_num(v):
    if v is None:
        return "NULL"
    if isinstance(v, int):
        return str(v)
    r = repr(float(v))
    return r[:-2] if r.endswith(".0") else r


def values(row):
    return "(" + ", ".join(sql_text(v) if isinstance(v, str) else sql_num(v) for v in row) + ")"


def insert(lines, table, columns, rows, chunk=200):
    for start in range(0, len(rows), chunk):
        lines.append("INSERT INTO %s (%s) VALUES" % (table, ", ".join(columns)))
        part = rows[start:start + chunk]
        lines.append(",\n".join("  " + values(r) for r in part) + ";")
    lines.append("")


def build_valves():
    rows = []
    specs = []
    for vtype, trim, dirn, chars, flags in OFFERS:
        st = STYLES[(vtype, trim)]
        for c in chars:
            specs.append((vtype, trim, dirn, c, 1 if CHAR[c][3] else 0, flags))
        fl, xt, fd = st["curves"][dirn]
        for size_id, rating_id in st["sizes"]:
            _, _, dn, inch = SIZE[size_id]
            sf = SEAT_FACTOR[rating_id]
            stroke = round(st["stroke"][size_id] * st["stroke_factor"])
            for c in chars:
                _, _, obt, editable, _, curve, cv_factor, code = CHAR[c]
                variants = [(False, code)]
                if st["reduced"] and c in (1, 2):
                    variants.insert(0, (True, code + "R"))
                for reduced, suffix in variants:
                    cv = st["k"] * inch * inch * cv_factor * sf * sf
                    seat = st["seat"] * inch * 25.4 * sf
                    if reduced:
                        cv *= REDUCED_CV
                        seat *= REDUCED_SEAT
                    combo_cv = None
                    if editable:
                        combo_cv = sig(st["combo_k"] * inch * inch * sf * sf)
                    stem = round(st["stem"][size_id] * STEM_FACTOR[rating_id], 1)
                    seat = round(seat, 1)
                    cv = sig(cv)
                    rows.append(dict(
                        Name="%s-%s" % (st["model"], suffix),
                        ValveSize=size_id,
                        VlvTypeID=TYPE_ID[vtype],
                        VlvTrimID=TRIM_ID[trim],
                        VlvFlowDirnID=DIRN_ID[dirn],
                        VlvObturatorID=obt,
                        PRatingID=rating_id,
                        LiquidSuitable=flags[0],
                        GasSuitable=flags[1],
                        TwoPhaseSuitable=flags[2],
                        UpStop=0 if reduced else 1,
                        Cv=cv,
                        ComboTrimCv=combo_cv,
                        Diameter=float(dn),
                        Characteristic=curve,
                        Fl=factor_curve(*fl),
                        Fd=factor_curve(*fd),
                        xt=factor_curve(*xt),
                        FiFactor=st["fi"],
                        Stages=st["stages"],
                        LiquidPower=sig(st["lp"] * inch * inch),
                        GasPower=sig(st["gp"] * inch * inch),
                        EtaF=st["etaf"],
                        DeltaLF=st["delta_lf"],
                        ldRatio=st["ldratio"],
                        Cn=None if st["cn"] is None else polyline([(0, 0), (1, sig(cv * st["cn"]))]),
                        Fdn=st["fdn"],
                        Fln=st["fln"],
                        dLwG=st["dlwg"],
                        StdAct=std_actuator(stroke, rating_id),
                        Stroke=float(stroke),
                        SeatDia=seat,
                        StemDia=stem,
                        PBStemDia=stem if st["balanced"] else 0.0,
                        PBSleeveDia=round(seat * 1.05 + 2, 1) if st["balanced"] else 0.0,
                    ))
    return rows, specs


COLUMNS = ["ID", "Name", "ValveSize", "VlvTypeID", "VlvTrimID", "VlvFlowDirnID",
           "VlvObturatorID", "PRatingID", "LiquidSuitable", "GasSuitable", "TwoPhaseSuitable",
           "UpStop", "Cv", "ComboTrimCv", "Diameter", "Characteristic", "Fl", "Fd", "xt",
           "FiFactor", "Stages", "LiquidPower", "GasPower", "EtaF", "DeltaLF", "ldRatio", "Cn",
           "Fdn", "Fln", "dLwG", "StdAct", "Stroke", "SeatDia", "StemDia", "PBStemDia",
           "PBSleeveDia"]


def build_diffusers():
    """Multi-hole diffuser plates for every line size from 1": a range of open areas, each
    drilled with the hole size usual for the line, rated at 28 Cv per square inch of holes."""
    hole_mm = {3: 3, 4: 3, 5: 3, 6: 3, 7: 5, 8: 5, 9: 5, 10: 6, 11: 6, 12: 6, 13: 8, 14: 8,
               15: 8, 16: 10, 17: 10, 18: 10, 19: 10}
    open_fractions = [0.04, 0.07, 0.11, 0.16, 0.23, 0.32]
    rows = []
    for size_id in range(3, 20):
        _, _, dn, _ = SIZE[size_id]
        line_id = bore(size_id, 1)  # standard-wall pipe
        h = hole_mm[size_id]
        hole_area = math.pi / 4 * h * h
        for phi in open_fractions:
            holes = max(2, round(phi * math.pi / 4 * line_id * line_id / hole_area))
            area = holes * hole_area
            cv = sig(28.0 * area / 645.16)
            actual_open = area / (math.pi / 4 * line_id * line_id)
            fl = round(0.90 - 0.45 * actual_open, 3)
            xt = round(0.84 * fl * fl, 3)
            fd = round(min(0.98, 1 / math.sqrt(holes)), 3)
            desc = "Multi-hole plate, %d x %d mm holes, %d%% open" % (holes, h, round(100 * actual_open))
            rows.append((size_id, float(dn), cv, fl, xt, fd, desc))
    return rows


def main():
    lines = [
        "-- Valve catalogue, body bores, diffuser plates and disk-stack trim defaults.",
        "-- Generated by data/refdb/gen/valves.py from per-style tables of typical values;",
        "-- edit the generator, not this file.",
        "",
    ]

    lines.append("-- Valve sizes: the shared size list (Nominal is the DN in mm).")
    insert(lines, "VlvSize", ["ID", "Display", "Nominal"],
           [(s[0], s[1], float(s[2])) for s in SIZES])

    lines.append("-- Valve types; the actuator kind decides whether the actuator pages apply.")
    insert(lines, "ValveType", ["ID", "Display", "Actuator", "Picture", "Description"],
           [(i, d, a, picture(TYPE_FILES.get(d)), description(TYPE_FILES.get(d)))
            for i, d, a in VALVE_TYPES])

    lines.append("-- Trims.")
    insert(lines, "ValveTrim", ["ID", "Display", "Picture", "Description"],
           [(i, d, picture(TRIM_FILES.get(d)), description(TRIM_FILES.get(d))) for i, d in TRIMS])

    lines.append("-- Flow directions: Over tends to close the plug, Under to open it.")
    insert(lines, "ValveFlowDirn", ["ID", "Display"], DIRNS)

    lines.append("-- Obturators: plug and disc profiles (1 to 3 are the plug profiles shown as")
    lines.append("-- pictures), and the sectioned trim whose characteristic the engineer edits.")
    insert(lines, "ValveObturator", ["ID", "Display"], OBTURATORS)

    lines.append("-- Characteristics per obturator, each section of the default curve being one")
    lines.append("-- trim section.")
    insert(lines, "ValveChar", ["ID", "Display", "Obturator", "Picture", "EditableChar", "DefaultChar"],
           [(c[0], c[1], c[2], picture(CHAR_FILES.get(c[0])), c[3], c[4]) for c in CHARS])

    rows, specs = build_valves()

    lines.append("-- Specification choices per analysis type (type, trim, flow direction and")
    lines.append("-- characteristic); ComboTrim marks the sectioned trims with a cavitation-control")
    lines.append("-- section.")
    spec_rows = []
    for i, (vtype, trim, dirn, c, combo, flags) in enumerate(specs, 1):
        spec_rows.append((i, TYPE_ID[vtype], vtype, TRIM_ID[trim], trim, DIRN_ID[dirn], dirn,
                          c, CHAR[c][1], combo, flags[0], flags[1], flags[2]))
    insert(lines, "ValveSpecs", ["ID", "VlvTypeID", "VlvType", "VlvTrimID", "VlvTrim",
                                 "VlvFlowDirnID", "VlvFlowDirn", "VlvCharID", "VlvChar",
                                 "ComboTrim", "LiquidSuitable", "GasSuitable",
                                 "TwoPhaseSuitable"], spec_rows)

    used = sorted({(r["ValveSize"], r["PRatingID"]) for r in rows} |
                  {(s[0], 2) for s in SIZES})
    lines.append("-- Body bores (mm) for every size and rating a valve is built in, and the 300#")
    lines.append("-- bore of every size.")
    insert(lines, "VlvID", ["ID", "VlvSize_Ref", "PRating_Ref"],
           [(bore(s, r), s, r) for s, r in used])

    lines.append("-- The catalogue.")
    valve_rows = [tuple([i] + [r[c] for c in COLUMNS[1:]]) for i, r in enumerate(rows, 1)]
    insert(lines, "Valves", COLUMNS, valve_rows)

    lines.append("-- Diffuser plates per line size (LineSize is the DN in mm).")
    insert(lines, "Diffusers", ["ID", "PipeSizeID", "LineSize", "Cv", "Fl", "Xt", "Fd", "Description"],
           [tuple([i] + list(r)) for i, r in enumerate(build_diffusers(), 1)])

    stack_sizes = sorted({r["ValveSize"] for r in rows if r["VlvTrimID"] in (3, 4)})
    ed_seat = STYLES[("Globe", "ED Disk Stack")]["seat"]
    ed_rows = []
    for i, s in enumerate(stack_sizes, 1):
        inch = SIZE[s][3]
        p = PASSAGES[s]
        od = float(round(STACK_OD_TO_SEAT * ed_seat * inch * 25.4))
        ed_rows.append((i, s, DISK_THICKNESS[s], od, p, max(2, p // 2), min(60, 2 * p),
                        OUTLET_WIDTH_LIMIT, DISK_AREA_LIMIT))
    lines.append("-- Disk-stack defaults for every size built with an ED or ZZ trim.")
    insert(lines, "Trim_EDDisk", ["ID", "VlvSize_Id", "DefaultThickness", "OD", "DefaultPassage",
                                  "MinPassage", "MaxPassage", "Ratio1", "Ratio2"], ed_rows)

    with open(OUT, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
