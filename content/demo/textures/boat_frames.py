#!/usr/bin/env python3
# Paints the eight frames of the boat seen on the water (boat1.png ..
# boat8.png): a dark rowing boat of tarred planks, its stern towards the
# viewer, rocking a little from frame to frame. Run from this folder; the
# PNGs are the texture list's sources for LESDA21A.PCX .. LESDA28A.PCX.
import math
import struct
import zlib

W, H = 300, 110


def png(path, pixels):
    raw = b"".join(b"\0" + bytes(row) for row in pixels)
    def chunk(kind, data):
        c = kind + data
        return struct.pack(">I", len(data)) + c + struct.pack(">I", zlib.crc32(c) & 0xFFFFFFFF)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def noise(x, y, seed):
    n = (x * 374761393 + y * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((n ^ (n >> 16)) & 0xFFFF) / 65535.0


for frame in range(8):
    phase = frame / 8.0 * 2 * math.pi
    bob = 3.0 * math.sin(phase)
    tilt = 0.035 * math.sin(phase + 1.0)
    rows = []
    for y in range(H):
        row = []
        for x in range(W):
            cx = x - W / 2
            yy = y - bob - tilt * cx
            top = 30.0
            # The hull: a wide top narrowing to the keel in a round curve.
            half = 140.0 * math.sqrt(max(0.0, 1.0 - ((yy - top) / 70.0) ** 2)) if yy >= top else -1
            r = g = b = a = 0
            if top <= yy <= top + 70 and abs(cx) <= half:
                plank = int((yy - top) / 11)
                seam = (yy - top) % 11 < 1.2
                shade = 0.55 + 0.45 * (1 - abs(cx) / 150.0)
                grain = 0.85 + 0.3 * noise(x // 3, plank, 7)
                k = shade * grain * (0.8 if seam else 1.0) * (1.0 - (yy - top) / 140.0)
                r, g, b = int(92 * k), int(60 * k), int(34 * k)
                if seam:
                    r, g, b = r // 2, g // 2, b // 2
                if yy - top < 5:  # the gunwale, lit from above
                    r, g, b = int(140 * shade), int(104 * shade), int(64 * shade)
                a = 255
            elif top - 22 <= yy < top and abs(cx) < 110 and abs(cx) > 96:
                # the two oars' looms resting on the gunwale
                r, g, b, a = 110, 80, 48, 255
            elif top - 14 <= yy < top and abs(cx) <= 60:
                # the stern seat's dark inside
                r, g, b, a = 30, 20, 14, 255
            row += [r, g, b, a]
        rows.append(row)
    png("boat%d.png" % (frame + 1), rows)
