#!/usr/bin/env python3
"""Draws res/zemo.ico: a folder with an arrow sorting a file into it (16, 32 and 48 px)."""
import struct, sys, os

def shade(x, y):
    """Colour (r, g, b, a) of the unit-square point (x, y), y pointing down."""
    # arrow: shaft and head pointing right, above the folder's front
    if 0.30 <= y <= 0.42 and 0.06 <= x <= 0.52:
        return (30, 110, 200, 255)
    if 0.52 <= x <= 0.74 and abs(y - 0.36) <= (0.74 - x) * 0.85:
        return (30, 110, 200, 255)
    # folder tab and body
    if 0.14 <= x <= 0.46 and 0.44 <= y <= 0.54:
        return (214, 150, 40, 255)
    if 0.08 <= x <= 0.94 and 0.50 <= y <= 0.92:
        edge = min(x - 0.08, 0.94 - x, y - 0.50, 0.92 - y)
        return (180, 120, 25, 255) if edge < 0.035 else (246, 190, 70, 255)
    return (0, 0, 0, 0)

def render(size, samples=4):
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    r, g, b, a = shade((px + (sx + 0.5) / samples) / size,
                                       (py + (sy + 0.5) / samples) / size)
                    acc = [acc[0] + r * a, acc[1] + g * a, acc[2] + b * a, acc[3] + a]
            a = acc[3] / (samples * samples)
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]),
                            round(acc[2] / acc[3]), round(a)))
        rows.append(row)
    return rows

def dib(size):
    pixels = render(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + xor + mask

def main(out):
    sizes = (16, 32, 48)
    images = [dib(s) for s in sizes]
    data = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        data += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(out, 'wb') as f:
        f.write(data + b''.join(images))

if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'res', 'zemo.ico'))
