#!/usr/bin/env python3
"""Draws the program icon (a green note page with a folded corner and an import arrow) into a .ico file."""
import struct
import sys
import zlib

# Border, page, folded corner and text lines, arrow.
TRUE_COLOURS = ((0x1B, 0x6E, 0x38), (0x2D, 0xBE, 0x60), (0xA8, 0xE6, 0xB8), (0xFF, 0xFF, 0xFF))
# The same picture in colours of the 16-colour palette below.
VGA_COLOURS = ((0, 0, 0), (0, 128, 0), (0, 255, 0), (255, 255, 255))

# Convex outlines in a unit square, y pointing down, vertices clockwise on screen.
PAGE = [(0.16, 0.06), (0.62, 0.06), (0.84, 0.28), (0.84, 0.94), (0.16, 0.94)]
FOLD = [(0.62, 0.06), (0.84, 0.28), (0.62, 0.28)]
TEXT_LINES = [[(0.28, 0.17), (0.52, 0.17), (0.52, 0.22), (0.28, 0.22)],
              [(0.28, 0.29), (0.62, 0.29), (0.62, 0.34), (0.28, 0.34)]]
ARROW_SHAFT = [(0.26, 0.55), (0.60, 0.55), (0.60, 0.69), (0.26, 0.69)]
ARROW_HEAD = [(0.52, 0.42), (0.76, 0.62), (0.52, 0.82)]

# The standard 16-colour palette, so the 4-bit images look right on any display.
VGA_PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
               (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
               (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]

SIZES = (48, 32, 24, 16)


def edges(polygon, size):
    """Half-planes of a convex polygon scaled to pixels and snapped to the pixel grid (crisp small sizes)."""
    pts = [(round(x * size), round(y * size)) for x, y in polygon]
    result = []
    for (x0, y0), (x1, y1) in zip(pts, pts[1:] + pts[:1]):
        dx, dy = x1 - x0, y1 - y0
        length = (dx * dx + dy * dy) ** 0.5
        nx, ny = dy / length, -dx / length  # outward normal of a clockwise outline in y-down space
        result.append((nx, ny, nx * x0 + ny * y0))
    return result


def coverage(half_planes, x, y, inset, smooth):
    """Share of the pixel centred at (x, y) that the polygon, shrunk by inset pixels, covers."""
    distance = max(nx * x + ny * y - c for nx, ny, c in half_planes) + inset
    if not smooth:
        return 1.0 if distance <= 0 else 0.0
    return min(1.0, max(0.0, 0.5 - distance))


def render(size, smooth, colours=TRUE_COLOURS):
    """RGBA rows, top row first, with straight (not premultiplied) alpha."""
    dark, green, light, white = colours
    border = max(1, round(size * 0.035))
    layers = [(edges(PAGE, size), 0, dark), (edges(PAGE, size), border, green),
              (edges(FOLD, size), 0, dark), (edges(FOLD, size), border, light)]
    if size >= 32:
        layers += [(edges(line, size), 0, light) for line in TEXT_LINES]
    layers += [(edges(ARROW_SHAFT, size), 0, white), (edges(ARROW_HEAD, size), 0, white)]
    rows = []
    for j in range(size):
        row = []
        for i in range(size):
            x, y = i + 0.5, j + 0.5
            r = g = b = a = 0.0
            for planes, inset, (lr, lg, lb) in layers:
                cover = coverage(planes, x, y, inset, smooth)
                if cover <= 0:
                    continue
                out = cover + a * (1 - cover)
                r = (lr * cover + r * a * (1 - cover)) / out
                g = (lg * cover + g * a * (1 - cover)) / out
                b = (lb * cover + b * a * (1 - cover)) / out
                a = out
            row.append((round(r), round(g), round(b), round(a * 255)))
        rows.append(row)
    return rows


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda n: sum((palette[n][k] - colour[k]) ** 2 for k in range(3)))


def and_mask(rows):
    """The 1-bit mask, bottom row first, rows padded to 32 bits: set bits are transparent."""
    stride = (len(rows[0]) + 31) // 32 * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for i, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[i // 8] |= 0x80 >> (i % 8)
        data += line
    return bytes(data)


def bitmap_header(size, bits, image_bytes):
    return struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, image_bytes, 0, 0, 0, 0)


def bmp_32(rows):
    size = len(rows)
    pixels = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    mask = and_mask(rows)
    return bitmap_header(size, 32, len(pixels) + len(mask)) + pixels + mask


def bmp_indexed(rows, bits):
    """A paletted image: the silhouette goes to the mask, colours to the nearest palette entry."""
    size = len(rows)
    opaque = [[(r, g, b, 255 if a >= 128 else 0) for r, g, b, a in row] for row in rows]
    if bits == 4:
        palette = VGA_PALETTE
    else:
        # The flat artwork has only a few dozen colours, so every one gets its own entry.
        palette = sorted({(r, g, b) for row in opaque for r, g, b, a in row if a})
        if len(palette) > 256:
            sys.exit('make_icon.py: too many colours for a 256-colour image')
        palette += [(0, 0, 0)] * (256 - len(palette))
    lookup = {}
    stride = (size * bits + 31) // 32 * 4
    pixels = bytearray()
    for row in reversed(opaque):
        line = bytearray(stride)
        for i, (r, g, b, a) in enumerate(row):
            index = lookup.setdefault((r, g, b), nearest(palette, (r, g, b))) if a else 0
            if bits == 4:
                line[i // 2] |= index << (4 if i % 2 == 0 else 0)
            else:
                line[i] = index
        pixels += line
    mask = and_mask(opaque)
    colours = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    return bitmap_header(size, bits, len(pixels) + len(mask)) + colours + bytes(pixels) + mask


def png(rows):
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    size = len(rows)
    raw = b''.join(b'\0' + bytes(v for pixel in row for v in pixel) for row in rows)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def icon_images():
    """(size, colour count byte, bits per pixel, image data) for every image of the icon."""
    smooth = {size: render(size, True) for size in SIZES}
    images = [(size, 16, 4, bmp_indexed(render(size, False, VGA_COLOURS), 4)) for size in SIZES]
    images += [(size, 0, 8, bmp_indexed(smooth[size], 8)) for size in SIZES]
    images += [(size, 0, 32, bmp_32(smooth[size])) for size in SIZES]
    images.append((256, 0, 32, png(render(256, True))))
    return images


def ico(images):
    offset = 6 + 16 * len(images)
    directory = struct.pack('<HHH', 0, 1, len(images))
    for size, colours, bits, data in images:
        # A width or height of 256 is written as 0.
        directory += struct.pack('<BBBBHHII', size % 256, size % 256, colours, 0, 1, bits,
                                 len(data), offset)
        offset += len(data)
    return directory + b''.join(data for _, _, _, data in images)


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_icon.py OUTPUT.ico')
    data = ico(icon_images())  # drawn first, so a failure leaves no half-written icon behind
    with open(sys.argv[1], 'wb') as out:
        out.write(data)


if __name__ == '__main__':
    main()
