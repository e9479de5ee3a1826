#!/usr/bin/env python3
"""Draws the pictures that reports and pages show: the company logo (tarvik.jpg), the actuator
pictures named by the Act_Pictures table (a valve with its actuator, plug closed and plug open,
for each actuator type and fail action), written as data/*.jpg, and the pictures and description
texts of the valve types, trims and plug characteristics that the ValveType, ValveTrim and
ValveChar tables name, written into data/valves/. Plain line drawings, RGB JPEG. Needs Pillow
(Debian python3-pil); run it by hand after changing it and commit what it writes: the build only
copies the files.
"""
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

OUT = Path(__file__).resolve().parent.parent
VALVES = OUT / "valves"
INK = (30, 50, 90)
ACCENT = (200, 90, 20)
WHITE = (255, 255, 255)


def save(img, name):
    img.save(OUT / name, "JPEG", quality=90, optimize=True)


def logo():
    img = Image.new("RGB", (360, 90), WHITE)
    d = ImageDraw.Draw(img)
    d.rectangle([6, 6, 84, 84], outline=INK, width=5)
    d.polygon([(20, 70), (45, 20), (70, 70)], outline=ACCENT, width=5)
    font = ImageFont.load_default()
    d.text((104, 22), "TARVIK", fill=INK, font=font, spacing=4)
    d.text((104, 48), "Quenta control valve sizing", fill=ACCENT, font=font)
    save(img.resize((360, 90)), "tarvik.jpg")


def actuator(name, kind, spring_below, open_):
    """A globe valve body with a bonnet, a stem and an actuator case; the plug drawn on or off
    its seat, the spring drawn on the side that fails it."""
    w, h = 240, 320
    img = Image.new("RGB", (w, h), WHITE)
    d = ImageDraw.Draw(img)
    # Actuator case: a flat diaphragm case or a tall piston cylinder.
    if kind == "diaphragm":
        d.ellipse([30, 20, 210, 90], outline=INK, width=4)
        d.line([30, 55, 210, 55], fill=INK, width=2)
    else:
        d.rectangle([60, 15, 180, 110], outline=INK, width=4)
        d.line([60, 62, 180, 62], fill=INK, width=3)
    # Spring: a zigzag above or below the diaphragm / piston (none for double acting).
    if kind != "double":
        y0, y1 = (62, 105) if spring_below else (20, 55)
        xs = [100, 140]
        pts = []
        steps = 6
        for i in range(steps + 1):
            pts.append((xs[i % 2], y0 + (y1 - y0) * i / steps))
        d.line(pts, fill=ACCENT, width=3)
    # Yoke, stem and body.
    d.line([120, 110, 120, 215], fill=INK, width=5)
    d.rectangle([95, 150, 145, 170], outline=INK, width=3)
    d.ellipse([50, 200, 190, 300], outline=INK, width=4)
    d.line([10, 250, 50, 250], fill=INK, width=8)
    d.line([190, 250, 230, 250], fill=INK, width=8)
    # Seat and plug: closed sits on the seat, open lifts it.
    d.line([85, 262, 155, 262], fill=INK, width=4)
    plug_y = 232 if open_ else 246
    d.rectangle([100, plug_y, 140, plug_y + 16], fill=ACCENT)
    d.line([120, 215, 120, plug_y], fill=INK, width=5)
    save(img, name)


# ---------------------------------------------------------------------------------------------
# Valve types, trims and characteristics of the valve specification page. Each file name here is
# the one data/refdb/gen/valves.py writes into the catalogue (relative to the program folder,
# as "data/valves/<name>").

PAGE_W, PAGE_H = 240, 200
GREY = (150, 150, 150)


def canvas():
    img = Image.new("RGB", (PAGE_W, PAGE_H), WHITE)
    return img, ImageDraw.Draw(img)


def save_valve(img, name):
    VALVES.mkdir(exist_ok=True)
    img.save(VALVES / name, "JPEG", quality=90, optimize=True)


def write_text(name, text):
    VALVES.mkdir(exist_ok=True)
    (VALVES / name).write_text(text.strip() + "\n", encoding="utf-8")


def stem_and_bonnet(d, x, top, bottom):
    d.rectangle([x - 22, top, x + 22, top + 18], outline=INK, width=3)
    d.line([x, top - 20, x, bottom], fill=INK, width=5)


def type_globe(d):
    d.line([10, 120, 50, 120], fill=INK, width=10)
    d.line([190, 120, 230, 120], fill=INK, width=10)
    d.ellipse([45, 70, 195, 170], outline=INK, width=4)
    # The S-shaped partition with the seat in it: flow turns up through the seat.
    d.line([50, 110, 95, 110, 95, 130, 145, 130, 145, 150, 190, 150], fill=INK, width=3)
    d.rectangle([102, 112, 138, 126], fill=ACCENT)
    stem_and_bonnet(d, 120, 45, 112)


def type_angle(d):
    d.line([188, 112, 232, 112], fill=INK, width=10)
    d.line([120, 160, 120, 196], fill=INK, width=10)
    d.ellipse([60, 60, 190, 165], outline=INK, width=4)
    d.line([95, 130, 145, 130], fill=INK, width=4)
    d.rectangle([102, 112, 138, 128], fill=ACCENT)
    stem_and_bonnet(d, 120, 35, 112)


def type_butterfly(d):
    d.line([10, 60, 230, 60], fill=INK, width=5)
    d.line([10, 160, 230, 160], fill=INK, width=5)
    d.rectangle([95, 50, 145, 170], outline=INK, width=3)
    # The disc turned part-way open on its shaft.
    d.polygon([(105, 75), (135, 70), (135, 150), (105, 145)], outline=ACCENT, fill=ACCENT)
    d.line([120, 30, 120, 190], fill=INK, width=4)
    d.rectangle([108, 18, 132, 32], outline=INK, width=3)


def type_disk(d):
    d.line([10, 60, 230, 60], fill=INK, width=5)
    d.line([10, 160, 230, 160], fill=INK, width=5)
    d.rectangle([95, 50, 145, 170], outline=INK, width=3)
    # An eccentric disc: the shaft sits behind the disc face, off the pipe's centre line.
    d.polygon([(100, 72), (114, 70), (114, 150), (100, 148)], fill=ACCENT)
    d.ellipse([124, 104, 136, 116], outline=INK, width=3)
    d.line([114, 110, 124, 110], fill=INK, width=3)
    # The lever on the shaft, pushed by the linear actuator's stem.
    d.line([130, 110, 175, 40], fill=INK, width=4)
    d.line([175, 40, 175, 8], fill=INK, width=5)
    d.rectangle([160, 4, 190, 14], outline=INK, width=3)


def holes(d, x0, x1, y0, y1, step=10):
    for y in range(y0, y1 + 1, step):
        for x in (x0, x1):
            d.ellipse([x - 2, y - 2, x + 2, y + 2], fill=INK)


def trim_standard(d):
    d.line([50, 150, 95, 150], fill=INK, width=6)
    d.line([145, 150, 190, 150], fill=INK, width=6)
    d.polygon([(98, 100), (142, 100), (136, 140), (120, 152), (104, 140)], fill=ACCENT)
    d.line([120, 20, 120, 100], fill=INK, width=6)


def trim_cav_control(d):
    d.rectangle([80, 60, 160, 170], outline=INK, width=4)
    holes(d, 80, 160, 110, 165, 9)
    d.rectangle([88, 75, 152, 105], fill=ACCENT)
    d.line([120, 20, 120, 75], fill=INK, width=6)


def trim_disk_stack(d, zigzag):
    d.line([120, 15, 120, 60], fill=INK, width=6)
    for i in range(7):
        y = 60 + i * 17
        d.rectangle([60, y, 180, y + 12], outline=INK, width=2)
        if zigzag:
            pts = [(60 + k * 15, y + (2 if k % 2 == 0 else 10)) for k in range(9)]
            d.line(pts, fill=ACCENT, width=2)
        else:
            d.line([64, y + 6, 176, y + 6], fill=ACCENT, width=2)
    d.rectangle([100, 60, 140, 176], outline=INK, width=3)


def trim_low_noise(d, stages):
    d.line([120, 15, 120, 70], fill=INK, width=6)
    d.rectangle([104, 70, 136, 95], fill=ACCENT)
    for s in range(stages):
        inset = 18 * s
        d.rectangle([62 + inset - 18 * (stages - 1), 60, 178 - inset + 18 * (stages - 1), 175],
                    outline=INK, width=3)
    for s in range(stages):
        x0 = 62 + 18 * s - 18 * (stages - 1)
        x1 = 178 - 18 * s + 18 * (stages - 1)
        holes(d, x0, x1, 105, 170, 12)


def bezier(p, t):
    u = 1 - t
    return (u ** 3 * p[0][0] + 3 * u * u * t * p[1][0] + 3 * u * t * t * p[2][0] + t ** 3 * p[3][0],
            u ** 3 * p[0][1] + 3 * u * u * t * p[1][1] + 3 * u * t * t * p[2][1] + t ** 3 * p[3][1])


def characteristic(d, control):
    """Capacity over travel on a 0-100 % square, the same curve as the catalogue's default."""
    x0, y0, side = 40, 170, 150
    for k in range(1, 5):
        d.line([x0 + k * side / 4, y0, x0 + k * side / 4, y0 - side], fill=GREY, width=1)
        d.line([x0, y0 - k * side / 4, x0 + side, y0 - k * side / 4], fill=GREY, width=1)
    d.line([x0, y0 - side, x0, y0, x0 + side, y0], fill=INK, width=3)
    pts = [bezier(control, i / 60) for i in range(61)]
    d.line([(x0 + side * x, y0 - side * y) for x, y in pts], fill=ACCENT, width=4)
    font = ImageFont.load_default()
    d.text((x0 + side / 2 - 20, y0 + 8), "% Open", fill=INK, font=font)
    d.text((4, y0 - side - 14), "% Cv", fill=INK, font=font)


VALVE_TYPE_PICTURES = [
    ("type_globe", type_globe, """
Globe valve: the flow turns through a seat in an S-shaped body and the plug moves along the
stem axis. The most versatile control valve, for every trim from standard plugs to multi-stage
disk stacks; driven by a linear actuator."""),
    ("type_angle", type_angle, """
Angle valve: inlet and outlet at right angles, flow entering below the seat. Drains freely and
keeps flashing or erosive flow off the body walls; driven by a linear actuator."""),
    ("type_butterfly", type_butterfly, """
Butterfly valve: a disc turned a quarter turn on a shaft across the pipe. High capacity for its
size at modest pressure drops and temperatures; driven by a rotary actuator."""),
    ("type_disk", type_disk, """
Disk valve: an eccentric disc turned on a shaft behind its face, driven by a linear actuator
through a lever. Tight shut-off and high capacity, for larger lines at higher pressures and
temperatures than a butterfly valve."""),
]

TRIM_PICTURES = [
    ("trim_standard", lambda d: trim_standard(d), """
Standard trim: a contoured plug in a single seat ring. The whole pressure drop is taken in one
stage at the seat."""),
    ("trim_cav_control", lambda d: trim_cav_control(d), """
Cavitation control trim: a cage of drilled holes around the plug. The jets meet in the centre of
the cage, away from the metal, so that vapour bubbles collapse where they do no harm."""),
    ("trim_ed_disk_stack", lambda d: trim_disk_stack(d, False), """
ED disk stack: a stack of disks with many small multi-stage passages. The pressure is let down
in several stages so that no stage reaches the vapour pressure or choked flow."""),
    ("trim_zz", lambda d: trim_disk_stack(d, True), """
ZZ trim: a stack of disks whose passages zigzag through right-angle turns; each turn takes a
share of the pressure drop, for the most severe liquid duties."""),
    ("trim_low_noise_1", lambda d: trim_low_noise(d, 1), """
Low noise trim, 1 stage: a drilled cage splits the flow into many small jets, moving the noise
to frequencies the pipe wall passes less."""),
    ("trim_low_noise_2", lambda d: trim_low_noise(d, 2), """
Low noise trim, 2 stages: two drilled cages in series share the pressure drop, lowering the jet
velocity and the noise further."""),
    ("trim_low_noise_3", lambda d: trim_low_noise(d, 3), """
Low noise trim, 3 stages: three drilled cages in series for high pressure ratios in gas and
steam service."""),
]

CHARACTERISTIC_PICTURES = [
    ("char_linear", [(0, 0), (1 / 3, 1 / 3), (2 / 3, 2 / 3), (1, 1)]),
    ("char_equal_percentage", [(0, 0), (1 / 3, 0.02), (2 / 3, 0.06), (1, 1)]),
    ("char_quick_opening", [(0, 0), (1 / 3, 0.7), (2 / 3, 0.95), (1, 1)]),
]


def valve_pictures():
    for name, draw, text in VALVE_TYPE_PICTURES + TRIM_PICTURES:
        img, d = canvas()
        draw(d)
        save_valve(img, name + ".jpg")
        write_text(name + ".txt", " ".join(text.split()))
    for name, control in CHARACTERISTIC_PICTURES:
        img, d = canvas()
        characteristic(d, control)
        save_valve(img, name + ".jpg")


def main():
    valve_pictures()
    logo()
    for kind in ("diaphragm", "piston"):
        # Fail closed: the spring pushes the stem down; fail open: it lifts it.
        actuator(f"act_{kind}_fc_closed.jpg", kind, False, False)
        actuator(f"act_{kind}_fc_open.jpg", kind, False, True)
        actuator(f"act_{kind}_fo_closed.jpg", kind, True, False)
        actuator(f"act_{kind}_fo_open.jpg", kind, True, True)
    actuator("act_double_closed.jpg", "double", False, False)
    actuator("act_double_open.jpg", "double", False, True)


if __name__ == "__main__":
    main()
