#!/usr/bin/env python3
"""Draws the pictures that reports place on their pages: the company logo (tarvik.jpg) and the
actuator pictures named by the Act_Pictures table (a valve with its actuator, plug closed and
plug open, for each actuator type and fail action). Plain line drawings, RGB JPEG, written next
to this script's parent folder as data/*.jpg. Needs Pillow (Debian python3-pil); run it by hand
after changing it and commit the pictures: the build only copies them.
"""
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

OUT = Path(__file__).resolve().parent.parent
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


def main():
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
