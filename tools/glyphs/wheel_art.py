#!/usr/bin/env python3
"""Writes the SVG masters of the about picture and the program icon: a zodiac
wheel whose twelve sectors carry the element inks of the chart."""
import math
import os

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources")
ELEM = ["#ff3d01", "#808000", "#008080", "#0000ff"]  # fire earth air water
def sectors(cx, cy, r1, r2, stroke, sw):
    out = []
    for i in range(12):
        a0 = math.radians(180 - 30 * i)      # house 1 at nine o'clock, counter-clockwise
        a1 = math.radians(180 - 30 * (i + 1))
        p = lambda r, a: (cx + r * math.cos(a), cy - r * math.sin(a))
        x0, y0 = p(r2, a0); x1, y1 = p(r2, a1); x2, y2 = p(r1, a1); x3, y3 = p(r1, a0)
        d = (f"M{x0:.2f},{y0:.2f} A{r2},{r2} 0 0 1 {x1:.2f},{y1:.2f} "
             f"L{x2:.2f},{y2:.2f} A{r1},{r1} 0 0 0 {x3:.2f},{y3:.2f} Z")
        out.append(f'<path fill="{ELEM[i % 4]}" stroke="{stroke}" stroke-width="{sw}" d="{d}"/>')
    return "\n".join(out)

def star(cx, cy, r, fill):
    pts = []
    for k in range(8):
        rr = r if k % 2 == 0 else r * 0.35
        a = math.radians(90 * k / 2 - 90)
        pts.append(f"{cx + rr * math.cos(a):.2f},{cy + rr * math.sin(a):.2f}")
    return f'<polygon fill="{fill}" points="{" ".join(pts)}"/>'

def sun(cx, cy, r, rays):
    s = [f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="#ffd23c" stroke="#c07a00" stroke-width="{r/5:.2f}"/>']
    for k in range(rays):
        a = math.radians(360 * k / rays)
        s.append(f'<line x1="{cx + r*1.25*math.cos(a):.2f}" y1="{cy + r*1.25*math.sin(a):.2f}" '
                 f'x2="{cx + r*1.7*math.cos(a):.2f}" y2="{cy + r*1.7*math.sin(a):.2f}" '
                 f'stroke="#ffd23c" stroke-width="{r/3:.2f}" stroke-linecap="round"/>')
    return "\n".join(s)

# about picture: the wheel under a night sky
about = [f'<?xml version="1.0" encoding="UTF-8"?>',
 '<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" width="96" height="66" viewBox="0 0 96 66">',
 # A flat sky keeps the picture inside a 256-colour palette without banding.
 '<rect width="96" height="66" fill="#16206a"/>']
for (x, y, r) in [(8,9,3), (17,52,2.2), (86,12,2.6), (80,55,3), (12,30,1.6), (90,36,1.6), (23,16,1.3), (72,5,1.3)]:
    about.append(star(x, y, r, "#fff6c8"))
about.append('<circle cx="48" cy="33" r="30" fill="#ffffff" stroke="#000000" stroke-width="1"/>')
about.append(sectors(48, 33, 23, 29.5, "#ffffff", 0.6))
about.append('<circle cx="48" cy="33" r="23" fill="#ffffff" stroke="#000000" stroke-width="0.8"/>')
for i in range(12):
    a = math.radians(180 - 30 * i)
    about.append(f'<line x1="{48 + 12*math.cos(a):.2f}" y1="{33 - 12*math.sin(a):.2f}" x2="{48 + 23*math.cos(a):.2f}" y2="{33 - 23*math.sin(a):.2f}" stroke="#000000" stroke-width="0.7"/>')
about.append('<circle cx="48" cy="33" r="12" fill="#ffffff" stroke="#000000" stroke-width="0.8"/>')
about.append(sun(48, 33, 5.5, 12))
about.append('</svg>')
open(os.path.join(RES, "pictures/about.svg"), "w").write("\n".join(about) + "\n")

# icon: bold wheel, few details so that it reads at 16 px
icon = [f'<?xml version="1.0" encoding="UTF-8"?>',
 '<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" width="256" height="256" viewBox="0 0 256 256">',
 '<circle cx="128" cy="128" r="124" fill="#1b2466"/>',
 sectors(128, 128, 70, 116, "#ffffff", 4),
 '<circle cx="128" cy="128" r="70" fill="#ffffff" stroke="#1b2466" stroke-width="6"/>',
 sun(128, 128, 30, 12),
 '</svg>']
open(os.path.join(RES, "icon/zodiara.svg"), "w").write("\n".join(icon) + "\n")
