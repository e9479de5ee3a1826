#!/usr/bin/env python3
"""Writes data/refdb/rows_specsheet.sql: the data sheet tabs, fields and options, the
face-to-face table, and the valve and downstream-device price tables.

    python3 data/refdb/gen/specsheet.py

Deterministic; the output is committed and the build never runs this script.

How the data sheet reads these tables:
- A tab's fields are listed in the order their options first appear, and the page addresses
  fields by their row in the tab, so options are written field by field, fields tab by tab,
  and IDs rise in that order.
- A field's Number names the item's "item<Number>" element; the printed data sheet prints
  fields 5 to 38 and 62 to 66 by number. Fields the printed sheet has no row for take numbers
  from 72 up.
- An option may have several rows with the same Item: each row with a FileField other than
  '<none>' takes part in pricing. A Lookup row selects the price row (FileField = Value); any
  other row adds the price line Display costing Value times the FileField column of that row.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True
sys.path.insert(0, HERE)

import actuators as act  # noqa: E402  (shared catalogue texts)

OUT = os.path.join(HERE, "..", "rows_specsheet.sql")

PAGES = ["Body", "Bonnet", "Trim", "Actuator", "Positioner", "Downstream Devices", "Other"]

VALVE_TYPES = ["Globe", "Angle", "Butterfly", "Disk"]
TRIMS = ["Standard", "Cav Control", "ZZ", "Low Noise - 1 Stage", "Low Noise - 2 Stage",
         "Low Noise - 3 Stage", "ED Disk Stack - StSt", "ED Disk Stack - Bronze"]
CHARACTERISTICS = ["Linear", "Equal Percentage", "Quick Opening", "Sectioned - Cav Control"]
FLOW_DIRECTIONS = ["Over", "Under"]

# Price tables. Spec_Prices has one row per valve size and rating; Spec_DiffuserPrices one
# row per device and material. Their columns are the FileField names below.
VALVE_KEYS = ["SizeID", "RatingID"]
VALVE_AMOUNTS = ["Body", "Bonnet", "Balance", "Flange", "Guide", "Packing", "LiveLoad", "Trim",
                 "Fixed"]
DEVICES = [(1, "Diffuser Plate", 1.0), (2, "Diffuser Plate in Spool", 2.2)]
DEVICE_MATERIALS = [(1, "316 StSt", 1.0), (2, "Duplex - 2205", 1.6), (3, "Hastelloy C276", 3.5)]
DEVICE_KEYS = ["DeviceID", "MaterialID"]


def plate_column(dn):
    return "P%d" % dn


def pipe_display(inch, dn):
    """Line size text of a diffuser plate: the inch text with a space, not a dash, inside
    mixed fractions (so that the first dash of the text is the one before the DN)."""
    return '%s - %dmm' % (inch.replace("-", " "), dn)


# Price lines. Lookup(field, value) selects the price row; Price(field, factor, text) adds a
# line. Options without either are written with FileField '<none>'.
def Lookup(field, value):
    return (field, value, 1, None)


def Price(field, factor, text):
    return (field, factor, 0, text)


def actuator_price(model):
    """List price of an actuator in R: spring piston by bore, diaphragm a tenth less, double
    acting a fifth less (no spring pack)."""
    prefix, bore = model.split("-")
    base = 12000 + 0.35 * int(bore) ** 2
    factor = {"TD": 0.9, "TS": 1.0, "TP": 0.8}[prefix]
    return round(base * factor, -2)


def fields():
    """[(page, number, display, [(item, [price lines])])] in page order."""
    sizes = [(inch, [Lookup("SizeID", sid)]) for sid, inch, _ in act.SIZES]
    ratings_lookup = [(name, [Lookup("RatingID", rid)]) for rid, name in act.RATINGS]
    ratings_plain = [(name, []) for _, name in act.RATINGS]
    body_style = {"Globe": 1.0, "Angle": 1.1, "Butterfly": 0.45, "Disk": 1.35}
    trim_price = {"Standard": 1.0, "Cav Control": 2.2, "ZZ": 4.5, "Low Noise - 1 Stage": 1.8,
                  "Low Noise - 2 Stage": 2.6, "Low Noise - 3 Stage": 3.4,
                  "ED Disk Stack - StSt": 5.0, "ED Disk Stack - Bronze": 4.2}
    packing_price = {"PTFE V-Ring": 1.0, "PTFE Double V-Ring": 1.6, "Graphite Braid": 1.3,
                     "Graphite Die-Formed": 1.5}
    positioner_models = ["PP-10", "PP-20", "PP-10S", "EP-10", "EP-20", "EP-10S", "SP-40 HART",
                         "SP-60 HART", "Profibus", "Foundation Fieldbus", "SP-40 PA", "SP-40 FF"]

    def guide(position):
        return [("Glass-filled PTFE", []),
                ("Stellite 6", [Price("Guide", 1.0, "%s guide - Stellite 6" % position)]),
                ("Bronze", [Price("Guide", 0.4, "%s guide - Bronze" % position)]),
                ("Hardened 440C", [Price("Guide", 0.6, "%s guide - Hardened 440C" % position)])]

    def stage(k):
        opts = [("None", [])]
        for _, inch, dn in act.SIZES:
            text = pipe_display(inch, dn)
            opts.append((text, [Price(plate_column(dn), 1.0,
                                      "Diffuser plate stage %d - %s" % (k, text))]))
        return opts

    return [
        # Body: size, style and rating are set from the sizing; the flange type list loses
        # flangeless (option 1) for large or high-rated valves and the screwed and socket-weld
        # ends (options 3 and 4) above 2-1/2"; "Separable" frees the flange material.
        ("Body", 5, "Size", sizes),
        ("Body", 6, "Style", [(t, [Price("Body", body_style[t], "Body - %s" % t)])
                              for t in VALVE_TYPES]),
        ("Body", 7, "Material", [
            ("Carbon Steel - WCB", []),
            ("Low Temp CS - LCC", [Price("Body", 0.15, "Body material - LCC")]),
            ("Chrome Moly - WC9", [Price("Body", 0.6, "Body material - WC9")]),
            ("Stainless Steel - CF8M", [Price("Body", 0.9, "Body material - CF8M")]),
            ("Duplex - CD4MCuN", [Price("Body", 1.8, "Body material - CD4MCuN")])]),
        ("Body", 72, "Rating", ratings_lookup),
        ("Body", 8, "Flange Type", [
            ("Flangeless", []), ("RF Flanged", []), ("Screwed NPT", []), ("Socket Weld", []),
            ("Separable", [Price("Flange", 1.0, "Separable flanges")]),
            ("RTJ Flanged", [Price("Flange", 0.25, "Ring-joint flange facing")]),
            ("Butt Weld", [])]),
        ("Body", 9, "Flange Rating", ratings_plain),
        ("Body", 10, "Flange Material", [("As Body", []), ("Carbon Steel - A105", []),
                                         ("Stainless Steel - F316", [])]),
        ("Body", 11, "Face To Face", [("N/A", [])]),
        # Bonnet: options 2 and 3 of the type are for cryogenic service, the last for a
        # pressure-balanced plug; guide option 1 is pressure-temperature limited and option 3
        # stops at 300 °C; gasket option 1 is the soft gasket.
        ("Bonnet", 12, "Type", [
            ("Standard", [Price("Bonnet", 1.0, "Bonnet - Standard")]),
            ("Extended - Cryogenic", [Price("Bonnet", 1.8, "Bonnet - Extended cryogenic")]),
            ("Cold Box - Cryogenic", [Price("Bonnet", 2.6, "Bonnet - Cold box extension")]),
            ("Pressure Balanced", [Price("Bonnet", 1.0, "Bonnet - Standard"),
                                   Price("Balance", 1.0, "Pressure balanced trim")])]),
        ("Bonnet", 13, "Material", [
            ("As Body", []), ("Carbon Steel - WCB", []),
            ("Stainless Steel - CF8M", [Price("Bonnet", 0.9, "Bonnet material - CF8M")])]),
        ("Bonnet", 14, "Guide - Upper", guide("Upper")),
        ("Bonnet", 15, "Guide - Lower", guide("Lower")),
        ("Bonnet", 16, "Packing", [(name, [Price("Packing", packing_price[name],
                                                 "Packing - %s" % name)])
                                   for _, name, _ in act.PACKING_MATERIALS]),
        ("Bonnet", 17, "Gaskets", [("PTFE", []), ("Graphite", []),
                                   ("Spiral Wound - 316/Graphite", [])]),
        ("Bonnet", 18, "Live Loading", [("No", []),
                                        ("Yes", [Price("LiveLoad", 1.0, "Live-loaded packing")])]),
        # Trim: option 3 of the plug material is for valves of 6" and up.
        ("Trim", 19, "Type", [(t, [Price("Trim", trim_price[t], "Trim - %s" % t)])
                              for t in TRIMS]),
        ("Trim", 20, "Characteristic", [(c, []) for c in CHARACTERISTICS]),
        ("Trim", 21, "Plug Material", [
            ("316 StSt", []),
            ("316 Stellited", [Price("Trim", 0.35, "Plug - Stellite hard facing")]),
            ("CF8M Cast", []),
            ("17-4PH", [Price("Trim", 0.2, "Plug - 17-4PH")])]),
        ("Trim", 22, "Seat Material", [
            ("Metal - StSt", []),
            ("Metal - Hard", [Price("Trim", 0.25, "Seat - Stellite hard facing")]),
            ("Soft - PTFE", [Price("Trim", 0.15, "Seat - PTFE soft seat insert")])]),
        ("Trim", 23, "Flow Direction", [(d, []) for d in FLOW_DIRECTIONS]),
        ("Trim", 24, "Leakage", [
            ("Class II", []), ("Class III", []), ("Class IV", []),
            ("Class V", [Price("Trim", 0.2, "Leakage class V - lapped seat and test")]),
            ("Class VI", [Price("Trim", 0.1, "Leakage class VI - bubble test")])]),
        # Actuator: the models list diaphragm actuators first (seven sizes), then the pistons;
        # the lock-up and volume-tank fail positions (options 3 and 4) go with piston
        # actuators only, from the 8th model on.
        ("Actuator", 25, "Type", [(t[1], []) for t in act.ACT_TYPES]),
        ("Actuator", 26, "Model Number", [(m, [Price("Fixed", actuator_price(m),
                                                     "Actuator %s" % m)])
                                          for m in act.models()]),
        ("Actuator", 27, "Spring Type", [(s, []) for s in act.spring_names()]),
        ("Actuator", 28, "Fail Position", [
            ("Closed", []), ("Open", []),
            ("Last (Lock-up Valve)", [Price("Fixed", 6200, "Air lock-up valve")]),
            ("Closed (Volume Tank)", [Price("Fixed", 9800, "Volume tank with trip valve")])]),
        ("Actuator", 29, "Hand Wheel", [
            ("None", []),
            ("Top Mounted", [Price("Fixed", 5400, "Hand wheel - top mounted")]),
            ("Side Mounted", [Price("Fixed", 8900, "Hand wheel - side mounted")])]),
        ("Actuator", 30, "Mounting Bars", [
            ("Standard", []),
            ("Extended", [Price("Fixed", 1850, "Extended mounting bars")])]),
        ("Actuator", 31, "Act Mng Flange", [("Standard", []), ("IEC 60534-6-1", [])]),
        ("Actuator", 73, "Oversized", [("No", []), ("Yes", [])]),
        # Positioner: the lists of rows 2 to 5 follow the positioner kind; the options here
        # hold every text those lists use. Rows 6 to 8 end with "None".
        ("Positioner", 32, "Type", [
            ("Pneumatic", [Price("Fixed", 6800, "Positioner - pneumatic")]),
            ("Electro-Pneumatic", [Price("Fixed", 11200, "Positioner - electro-pneumatic")]),
            ("Smart - 4-20mA", [Price("Fixed", 16500, "Positioner - smart 4-20mA HART")]),
            ("Smart - Fieldbus", [Price("Fixed", 21800, "Positioner - smart fieldbus")]),
            ("None", [])]),
        ("Positioner", 33, "Spool", [
            ("Brass", []),
            ("StSt", [Price("Fixed", 2400, "Positioner - stainless steel spool")])]),
        ("Positioner", 34, "Model Number", [(m, []) for m in positioner_models]),
        ("Positioner", 35, "Valve Open @", [(s, []) for s in [
            "100kPa", "60kPa", "20kPa", "15psi", "9psi", "3psi", "20mA", "12mA", "4mA"]]),
        ("Positioner", 36, "Valve Closed @", [(s, []) for s in [
            "20kPa", "60kPa", "100kPa", "3psi", "9psi", "15psi", "4mA", "12mA", "20mA"]]),
        ("Positioner", 37, "Pipework", [
            ("StSt Tube", [Price("Fixed", 2200, "Pipework - StSt tube and fittings")]),
            ("Copper Tube", [Price("Fixed", 950, "Pipework - copper tube and brass fittings")]),
            ("None", [])]),
        ("Positioner", 38, "Air Filter", [
            ("Filter Regulator", [Price("Fixed", 1650, "Air filter regulator")]),
            ("None", [])]),
        ("Positioner", 74, "Gauges", [
            ("Supply and Output", [Price("Fixed", 780, "Gauges - supply and output")]),
            ("None", [])]),
        # Downstream devices: device and material select the price row; each stage prices
        # its plate by line size.
        ("Downstream Devices", 62, "Device", [("None", [])] +
         [(name, [Lookup("DeviceID", did)]) for did, name, _ in DEVICES]),
        ("Downstream Devices", 63, "Material", [("None", [])] +
         [(name, [Lookup("MaterialID", mid)]) for mid, name, _ in DEVICE_MATERIALS]),
        ("Downstream Devices", 64, "Stage 1", stage(1)),
        ("Downstream Devices", 65, "Stage 2", stage(2)),
        ("Downstream Devices", 66, "Stage 3", stage(3)),
        # Other: documentation and finish.
        ("Other", 75, "Painting", [
            ("Manufacturer Standard", []),
            ("Epoxy - Offshore", [Price("Fixed", 3200, "Painting - offshore epoxy system")]),
            ("Silicone - High Temperature",
             [Price("Fixed", 2100, "Painting - high temperature silicone")])]),
        ("Other", 76, "Hydro Test", [
            ("Standard", []),
            ("Witnessed", [Price("Fixed", 6500, "Witnessed hydrostatic test")])]),
        ("Other", 77, "Certificates", [
            ("None", []),
            ("EN 10204 3.1", [Price("Fixed", 1200, "Material certificates EN 10204 3.1")]),
            ("EN 10204 3.2", [Price("Fixed", 5800, "Material certificates EN 10204 3.2")])]),
        ("Other", 78, "Tag Plate", [("StSt Tag Plate", []), ("None", [])]),
    ]


# Face-to-face of globe-style control valves, mm.
# Integral flanged (raised face), Classes 150, 300 and 600: ISA-75.08.01.
FLANGED_LOW = {
    '1/2"': (184, 190, 203), '3/4"': (184, 194, 206), '1"': (184, 197, 210),
    '1-1/2"': (222, 235, 251), '2"': (254, 267, 286), '2-1/2"': (276, 292, 311),
    '3"': (298, 318, 337), '4"': (352, 368, 394), '6"': (451, 473, 508),
    '8"': (543, 568, 610), '10"': (673, 708, 752), '12"': (737, 775, 819),
    '14"': (889, 927, 972), '16"': (1016, 1057, 1108),
}
# Integral flanged, Classes 900, 1500 and 2500, short pattern: ISA-75.08.06.
FLANGED_HIGH = {
    '1/2"': (273, 273, 308), '3/4"': (273, 273, 308), '1"': (273, 273, 308),
    '1-1/2"': (311, 311, 359), '2"': (340, 340, 400), '3"': (387, 406, 498),
    '4"': (464, 483, 575), '6"': (600, 692, 819), '8"': (781, 838, 1029),
    '10"': (864, 991, 1270), '12"': (1016, 1130, 1422),
}
# Separable flanged bodies share the integral flanged dimensions, 1/2" to 8".
SEPARABLE_SIZES = ['1/2"', '3/4"', '1"', '1-1/2"', '2"', '2-1/2"', '3"', '4"', '6"', '8"']
# Screwed and socket-weld ends, Classes 150 to 600, short pattern: ISA-75.08.03.
SCREWED = {'1/2"': 210, '3/4"': 210, '1"': 210, '1-1/2"': 251, '2"': 286, '2-1/2"': 311}


def face_to_face():
    rows = []
    order = [inch for _, inch, _ in act.SIZES]
    low = [name for rid, name in act.RATINGS if rid <= 3]
    high = [name for rid, name in act.RATINGS if rid > 3]
    for inch in order:
        if inch in FLANGED_LOW:
            for rating, value in zip(low, FLANGED_LOW[inch]):
                rows.append((inch, "RF Flanged", rating, value))
        if inch in FLANGED_HIGH:
            for rating, value in zip(high, FLANGED_HIGH[inch]):
                rows.append((inch, "RF Flanged", rating, value))
    for inch in order:
        if inch in SEPARABLE_SIZES:
            for rating, value in zip(low, FLANGED_LOW[inch]):
                rows.append((inch, "Separable", rating, value))
    for ends in ("Screwed NPT", "Socket Weld"):
        for inch in order:
            if inch in SCREWED:
                for rating in low:
                    rows.append((inch, ends, rating, SCREWED[inch]))
    return [(i + 1, inch, flange, rating, "%d mm" % value)
            for i, (inch, flange, rating, value) in enumerate(rows)]


# Valve price build-up, R. Each amount grows with the nominal size (DN, mm) and the rating.
BODY_RATING = {1: 1.0, 2: 1.25, 3: 1.6, 4: 2.2, 5: 2.9, 6: 4.2}


def r10(x):
    return int(round(x, -1))


def valve_prices(dn, rating_id):
    s = dn / 50.0
    r = BODY_RATING[rating_id]
    trim = (3000 + 7000 * s ** 1.6) * r ** 0.5
    return {
        "Body": r10((6000 + 12000 * s ** 1.7) * r),
        "Bonnet": r10((2500 + 3500 * s ** 1.6) * r ** 0.8),
        "Balance": r10(0.45 * trim),
        "Flange": r10((1500 + 3500 * s ** 1.5) * r),
        "Guide": r10(600 + 900 * s ** 1.2),
        "Packing": r10((450 + 700 * s ** 0.8) * r ** 0.3),
        "LiveLoad": r10(1800 + 1200 * s ** 0.7),
        "Trim": r10(trim),
        "Fixed": 1,
    }


def plate_price(dn, device_factor, material_factor):
    return r10((2500 + 4000 * (dn / 50.0) ** 1.5) * device_factor * material_factor)


def sql_text(s):
    return "'" + s.replace("'", "''") + "'"


def cell(v):
    if v is None:
        return "NULL"
    if isinstance(v, str):
        return sql_text(v)
    return act.num(v)


def insert(table, columns, rows):
    head = "INSERT INTO %s (%s) VALUES\n" % (table, ", ".join(columns))
    return head + ",\n".join("  (" + ", ".join(cell(v) for v in row) + ")" for row in rows) + ";\n"


def main():
    out = ["-- Data sheet tabs, fields and options; face-to-face dimensions; valve and downstream\n"
           "-- device prices (R). Generated by data/refdb/gen/specsheet.py; edit that script and\n"
           "-- run it again rather than editing this file.\n"]

    out.append("\n-- Data sheet tabs in page order.\n")
    out.append(insert("Spec_Pages", ["ID", "Display"],
                      [(i + 1, p) for i, p in enumerate(PAGES)]))

    field_list = fields()
    numbers = [f[1] for f in field_list]
    assert len(numbers) == len(set(numbers)), "field numbers must be unique"

    out.append("\n-- Fields, tab by tab in page order; Number names the item's element.\n")
    out.append(insert("Spec_Fields", ["ID", "Number", "Display"],
                      [(i + 1, number, display)
                       for i, (_, number, display, _) in enumerate(field_list)]))

    option_rows = []
    lookups = {}
    for field_id, (page, _, _, options) in enumerate(field_list, start=1):
        page_id = PAGES.index(page) + 1
        for item, lines in options:
            assert "'" not in item, "option texts go into SQL as they stand"
            if not lines:
                option_rows.append((field_id, page_id, item, "<none>", None, 0, None))
            for file_field, value, lookup, display in lines:
                option_rows.append((field_id, page_id, item, file_field, value, lookup, display))
                if lookup:
                    lookups.setdefault(page == "Downstream Devices", set()).add(file_field)
    out.append("\n-- Options, field by field in list order. '<none>' rows do not price.\n")
    out.append(insert("Spec_Options",
                      ["ID", "FieldID", "PageID", "Item", "FileField", "Value", "Lookup",
                       "Display"],
                      [(i + 1,) + row for i, row in enumerate(option_rows)]))
    assert lookups[False] == set(VALVE_KEYS) and lookups[True] == set(DEVICE_KEYS)

    out.append("\n-- Face-to-face dimensions of globe-style bodies by size, end connection and rating:\n"
               "-- ISA-75.08.01 (flanged, Classes 150-600), ISA-75.08.06 (flanged, Classes\n"
               "-- 900-2500, short pattern), ISA-75.08.03 (screwed and socket-weld ends).\n")
    out.append(insert("Spec_Face2face", ["ID", "VlvSize", "Flange", "Rating", "Value"],
                      face_to_face()))

    out.append("\n-- Valve prices (R) per size and rating. Body, Bonnet, Flange, Trim and the others\n"
               "-- are the base amounts that option rows multiply; Fixed is 1, so an option priced\n"
               "-- on it carries its own amount in its Value.\n")
    price_rows = []
    pid = 1
    for sid, _, dn in act.SIZES:
        for rid, _ in act.RATINGS:
            p = valve_prices(dn, rid)
            price_rows.append((pid, sid, rid) + tuple(p[c] for c in VALVE_AMOUNTS))
            pid += 1
    out.append(insert("Spec_Prices", ["ID"] + VALVE_KEYS + VALVE_AMOUNTS, price_rows))

    out.append("\n-- Diffuser plate prices (R) per device and material, one column per line size.\n")
    diff_rows = []
    pid = 1
    for did, _, dfac in DEVICES:
        for mid, _, mfac in DEVICE_MATERIALS:
            diff_rows.append((pid, did, mid) +
                             tuple(plate_price(dn, dfac, mfac) for _, _, dn in act.SIZES))
            pid += 1
    out.append(insert("Spec_DiffuserPrices",
                      ["ID"] + DEVICE_KEYS + [plate_column(dn) for _, _, dn in act.SIZES],
                      diff_rows))

    with open(OUT, "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(out))


if __name__ == "__main__":
    main()
