#!/usr/bin/env python3
"""Writes data/refdb/rows_pipes.sql: nominal pipe sizes, schedules and pipe dimensions.

Outside diameters and nominal wall thicknesses (mm) of welded and seamless wrought steel pipe
(ASME B36.10M) and stainless steel pipe (ASME B36.19M, the "S" schedules), NPS 1/2 to NPS 24.
Each size carries only the schedules the standards list for it. The inside diameter is
OD - 2 * wall.

The pipe attenuation columns are the change in the level radiated through the pipe wall
compared with the Schedule 40 pipe of the same size, which the simple noise methods take as
their reference; the noise calculation adds them to its level. With r = (t / Di) / (t40 / Di40):
  gas:    -20 lg r   (transmission loss through the wall grows with (t / Di)^2)
  liquid: -10 lg r   (liquid-filled pipe: the loss grows with the wall-to-fluid impedance
                      ratio rho_s c_s t / (rho_L c_L Di))
so a heavier wall than Schedule 40 gives a negative figure and a lighter wall a positive one.

Run from anywhere: python3 data/refdb/gen/pipes.py
"""

import math
from pathlib import Path

OUT = Path(__file__).resolve().parent.parent / "rows_pipes.sql"

# ID, inch text, DN (mm), outside diameter (mm). The inch text uses a space, never a dash, in
# 1 1/4", 1 1/2" and 2 1/2": the valve recommendation reads the DN as the text after the first
# "-" of the display, less its last two characters ("mm").
SIZES = [
    (1, '1/2"', 15, 21.3),
    (2, '3/4"', 20, 26.7),
    (3, '1"', 25, 33.4),
    (4, '1 1/4"', 32, 42.2),
    (5, '1 1/2"', 40, 48.3),
    (6, '2"', 50, 60.3),
    (7, '2 1/2"', 65, 73.0),
    (8, '3"', 80, 88.9),
    (9, '4"', 100, 114.3),
    (10, '5"', 125, 141.3),
    (11, '6"', 150, 168.3),
    (12, '8"', 200, 219.1),
    (13, '10"', 250, 273.1),
    (14, '12"', 300, 323.9),
    (15, '14"', 350, 355.6),
    (16, '16"', 400, 406.4),
    (17, '18"', 450, 457.0),
    (18, '20"', 500, 508.0),
    (19, '24"', 600, 610.0),
]

# Schedule lists run from the lightest to the heaviest designation; the schedule list of a
# size shows them in this order.
SCHEDULES = [
    "Sched 5S", "Sched 10S", "Sched 10", "Sched 20", "Sched 30", "STD", "Sched 40",
    "Sched 40S", "Sched 60", "XS", "Sched 80", "Sched 80S", "Sched 100", "Sched 120",
    "Sched 140", "Sched 160", "XXS",
]

# Wall thickness (mm) per size ID and schedule.
WALLS = {
    1: {"Sched 5S": 1.65, "Sched 10S": 2.11, "Sched 10": 2.11, "Sched 30": 2.41, "STD": 2.77,
        "Sched 40": 2.77, "Sched 40S": 2.77, "XS": 3.73, "Sched 80": 3.73, "Sched 80S": 3.73,
        "Sched 160": 4.78, "XXS": 7.47},
    2: {"Sched 5S": 1.65, "Sched 10S": 2.11, "Sched 10": 2.11, "Sched 30": 2.41, "STD": 2.87,
        "Sched 40": 2.87, "Sched 40S": 2.87, "XS": 3.91, "Sched 80": 3.91, "Sched 80S": 3.91,
        "Sched 160": 5.56, "XXS": 7.82},
    3: {"Sched 5S": 1.65, "Sched 10S": 2.77, "Sched 10": 2.77, "Sched 30": 2.90, "STD": 3.38,
        "Sched 40": 3.38, "Sched 40S": 3.38, "XS": 4.55, "Sched 80": 4.55, "Sched 80S": 4.55,
        "Sched 160": 6.35, "XXS": 9.09},
    4: {"Sched 5S": 1.65, "Sched 10S": 2.77, "Sched 10": 2.77, "Sched 30": 2.97, "STD": 3.56,
        "Sched 40": 3.56, "Sched 40S": 3.56, "XS": 4.85, "Sched 80": 4.85, "Sched 80S": 4.85,
        "Sched 160": 6.35, "XXS": 9.70},
    5: {"Sched 5S": 1.65, "Sched 10S": 2.77, "Sched 10": 2.77, "Sched 30": 3.18, "STD": 3.68,
        "Sched 40": 3.68, "Sched 40S": 3.68, "XS": 5.08, "Sched 80": 5.08, "Sched 80S": 5.08,
        "Sched 160": 7.14, "XXS": 10.15},
    6: {"Sched 5S": 1.65, "Sched 10S": 2.77, "Sched 10": 2.77, "Sched 30": 3.18, "STD": 3.91,
        "Sched 40": 3.91, "Sched 40S": 3.91, "XS": 5.54, "Sched 80": 5.54, "Sched 80S": 5.54,
        "Sched 160": 8.74, "XXS": 11.07},
    7: {"Sched 5S": 2.11, "Sched 10S": 3.05, "Sched 10": 3.05, "Sched 30": 4.78, "STD": 5.16,
        "Sched 40": 5.16, "Sched 40S": 5.16, "XS": 7.01, "Sched 80": 7.01, "Sched 80S": 7.01,
        "Sched 160": 9.53, "XXS": 14.02},
    8: {"Sched 5S": 2.11, "Sched 10S": 3.05, "Sched 10": 3.05, "Sched 30": 4.78, "STD": 5.49,
        "Sched 40": 5.49, "Sched 40S": 5.49, "XS": 7.62, "Sched 80": 7.62, "Sched 80S": 7.62,
        "Sched 160": 11.13, "XXS": 15.24},
    9: {"Sched 5S": 2.11, "Sched 10S": 3.05, "Sched 10": 3.05, "Sched 30": 4.78, "STD": 6.02,
        "Sched 40": 6.02, "Sched 40S": 6.02, "XS": 8.56, "Sched 80": 8.56, "Sched 80S": 8.56,
        "Sched 120": 11.13, "Sched 160": 13.49, "XXS": 17.12},
    10: {"Sched 5S": 2.77, "Sched 10S": 3.40, "Sched 10": 3.40, "STD": 6.55, "Sched 40": 6.55,
         "Sched 40S": 6.55, "XS": 9.53, "Sched 80": 9.53, "Sched 80S": 9.53,
         "Sched 120": 12.70, "Sched 160": 15.88, "XXS": 19.05},
    11: {"Sched 5S": 2.77, "Sched 10S": 3.40, "Sched 10": 3.40, "STD": 7.11, "Sched 40": 7.11,
         "Sched 40S": 7.11, "XS": 10.97, "Sched 80": 10.97, "Sched 80S": 10.97,
         "Sched 120": 14.27, "Sched 160": 18.26, "XXS": 21.95},
    12: {"Sched 5S": 2.77, "Sched 10S": 3.76, "Sched 10": 3.76, "Sched 20": 6.35,
         "Sched 30": 7.04, "STD": 8.18, "Sched 40": 8.18, "Sched 40S": 8.18,
         "Sched 60": 10.31, "XS": 12.70, "Sched 80": 12.70, "Sched 80S": 12.70,
         "Sched 100": 15.09, "Sched 120": 18.26, "Sched 140": 20.62, "Sched 160": 23.01,
         "XXS": 22.23},
    13: {"Sched 5S": 3.40, "Sched 10S": 4.19, "Sched 10": 4.19, "Sched 20": 6.35,
         "Sched 30": 7.80, "STD": 9.27, "Sched 40": 9.27, "Sched 40S": 9.27,
         "Sched 60": 12.70, "XS": 12.70, "Sched 80": 15.09, "Sched 80S": 12.70,
         "Sched 100": 18.26, "Sched 120": 21.44, "Sched 140": 25.40, "Sched 160": 28.58,
         "XXS": 25.40},
    14: {"Sched 5S": 3.96, "Sched 10S": 4.57, "Sched 10": 4.57, "Sched 20": 6.35,
         "Sched 30": 8.38, "STD": 9.53, "Sched 40": 10.31, "Sched 40S": 9.53,
         "Sched 60": 14.27, "XS": 12.70, "Sched 80": 17.48, "Sched 80S": 12.70,
         "Sched 100": 21.44, "Sched 120": 25.40, "Sched 140": 28.58, "Sched 160": 33.32,
         "XXS": 25.40},
    15: {"Sched 5S": 3.96, "Sched 10S": 4.78, "Sched 10": 6.35, "Sched 20": 7.92,
         "Sched 30": 9.53, "STD": 9.53, "Sched 40": 11.13, "Sched 60": 15.09, "XS": 12.70,
         "Sched 80": 19.05, "Sched 100": 23.83, "Sched 120": 27.79, "Sched 140": 31.75,
         "Sched 160": 35.71},
    16: {"Sched 5S": 4.19, "Sched 10S": 4.78, "Sched 10": 6.35, "Sched 20": 7.92,
         "Sched 30": 9.53, "STD": 9.53, "Sched 40": 12.70, "Sched 60": 16.66, "XS": 12.70,
         "Sched 80": 21.44, "Sched 100": 26.19, "Sched 120": 30.96, "Sched 140": 36.53,
         "Sched 160": 40.49},
    17: {"Sched 5S": 4.19, "Sched 10S": 4.78, "Sched 10": 6.35, "Sched 20": 7.92,
         "Sched 30": 11.13, "STD": 9.53, "Sched 40": 14.27, "Sched 60": 19.05, "XS": 12.70,
         "Sched 80": 23.83, "Sched 100": 29.36, "Sched 120": 34.93, "Sched 140": 39.67,
         "Sched 160": 45.24},
    18: {"Sched 5S": 4.78, "Sched 10S": 5.54, "Sched 10": 6.35, "Sched 20": 9.53,
         "Sched 30": 12.70, "STD": 9.53, "Sched 40": 15.09, "Sched 60": 20.62, "XS": 12.70,
         "Sched 80": 26.19, "Sched 100": 32.54, "Sched 120": 38.10, "Sched 140": 44.45,
         "Sched 160": 50.01},
    19: {"Sched 5S": 5.54, "Sched 10S": 6.35, "Sched 10": 6.35, "Sched 20": 9.53,
         "Sched 30": 14.27, "STD": 9.53, "Sched 40": 17.48, "Sched 60": 24.61, "XS": 12.70,
         "Sched 80": 30.96, "Sched 100": 38.89, "Sched 120": 46.02, "Sched 140": 52.37,
         "Sched 160": 59.54},
}

REFERENCE = "Sched 40"


def num(value):
    text = f"{value:.2f}".rstrip("0").rstrip(".")
    return "0" if text == "-0" else text


def sql_text(text):
    return "'" + text.replace("'", "''") + "'"


def main():
    assert [s[0] for s in SIZES] == list(range(1, len(SIZES) + 1))
    assert set(WALLS) == {s[0] for s in SIZES}
    lines = [
        "-- Generated by data/refdb/gen/pipes.py; edit the generator, not this file.",
        "--",
        "-- Nominal pipe sizes NPS 1/2 to NPS 24 with their DN in mm; schedules of ASME B36.10M",
        "-- (carbon and alloy steel) and ASME B36.19M (stainless, \"S\" schedules); outside",
        "-- diameter and inside diameter (OD - 2 x nominal wall) in mm. PipeAtten_Liq and",
        "-- PipeAtten_Gas (dB) are added to the level of the simple noise methods: the change",
        "-- in the noise radiated through the wall against the Schedule 40 pipe of the same size",
        "-- (0 for Schedule 40, negative for heavier walls).",
        "",
        "INSERT INTO Pipe_Sizes (ID, Display, Nominal) VALUES",
    ]
    rows = [f"  ({sid}, {sql_text(f'{inch} - {dn}mm')}, {dn})" for sid, inch, dn, _ in SIZES]
    lines.append(",\n".join(rows) + ";")
    lines += ["", "INSERT INTO pipe_schedules (ID, Display) VALUES"]
    rows = [f"  ({i}, {sql_text(name)})" for i, name in enumerate(SCHEDULES, 1)]
    lines.append(",\n".join(rows) + ";")
    lines += [
        "",
        "INSERT INTO pipe_data (ID, pipesizeid, scheduleid, InsideDiameter, OutsideDiameter, "
        "PipeAtten_Liq, PipeAtten_Gas) VALUES",
    ]
    rows = []
    pid = 0
    for sid, _, _, od in SIZES:
        walls = WALLS[sid]
        unknown = set(walls) - set(SCHEDULES)
        assert not unknown, unknown
        t_ref = walls[REFERENCE]
        ratio_ref = t_ref / (od - 2 * t_ref)
        for sched_id, sched in enumerate(SCHEDULES, 1):
            if sched not in walls:
                continue
            t = walls[sched]
            inside = od - 2 * t
            assert 0 < t and inside > 0
            r = (t / inside) / ratio_ref
            liq = round(-10 * math.log10(r), 1)
            gas = round(-20 * math.log10(r), 1)
            pid += 1
            rows.append(
                f"  ({pid}, {sid}, {sched_id}, {num(inside)}, {num(od)}, {num(liq)}, {num(gas)})"
            )
    lines.append(",\n".join(rows) + ";")
    OUT.write_text("\n".join(lines) + "\n", encoding="utf-8")


if __name__ == "__main__":
    main()
