#!/usr/bin/env python3
"""Writes Lumo's Windows icon from rendered PNGs, with nothing beyond the standard library.

For every PNG (8-bit RGBA, as rsvg-convert writes them) the icon gets two images of that size: a
256-colour one (8 bits per pixel, palettised) and a 32-bit one with alpha, both as classic BMP
entries with an AND mask, so that every version of Windows reads them. ImageMagick's ICO writer
picks bit depths on its own, which is why this exists.

With --resource-dir it also writes the same images as raw Windows resources: icon-300NN.bin
(RT_ICON) and group-1.bin (RT_GROUP_ICON naming them 30001 upwards), for the .rc file.

Output is a pure function of the input pixels: running it twice gives identical bytes.
"""

import argparse
import struct
import sys
import zlib
from pathlib import Path

FIRST_IMAGE_ID = 30001
ALPHA_THRESHOLD = 128  # below this a pixel is transparent in the 1-bit AND mask


def read_png_rgba(path):
    """Returns (width, height, rows of RGBA bytes) of an 8-bit RGBA, non-interlaced PNG."""
    data = Path(path).read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG file")
    pos, idat, header = 8, bytearray(), None
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos : pos + 4])
        kind = data[pos + 4 : pos + 8]
        body = data[pos + 8 : pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    if header is None:
        sys.exit(f"{path}: no IHDR chunk")
    width, height, depth, colour, _, _, interlace = header
    if (depth, colour, interlace) != (8, 6, 0):
        sys.exit(f"{path}: need 8-bit RGBA without interlacing, got depth {depth} colour type {colour}")
    raw = zlib.decompress(bytes(idat))
    stride, bpp = width * 4, 4
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1 : start + 1 + stride])
        for i in range(stride):
            left = line[i - bpp] if i >= bpp else 0
            up = previous[i]
            up_left = previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - up_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - up_left)
                predictor = left if pa <= pb and pa <= pc else (up if pb <= pc else up_left)
                line[i] = (line[i] + predictor) & 0xFF
            elif kind != 0:
                sys.exit(f"{path}: unknown PNG filter {kind}")
        rows.append(bytes(line))
        previous = line
    return width, height, rows


def median_cut(colours, count):
    """Splits the weighted colours {rgb: n} into at most `count` boxes; returns their mean colours."""
    boxes = [sorted(colours.items())]
    while len(boxes) < count:
        # Split the box with the widest channel range (ties: the most pixels, then the first).
        def spread(box):
            ranges = [max(c[0][k] for c in box) - min(c[0][k] for c in box) for k in range(3)]
            return max(ranges), sum(n for _, n in box)

        candidates = [b for b in boxes if len(b) > 1]
        if not candidates:
            break
        box = max(candidates, key=spread)
        ranges = [max(c[0][k] for c in box) - min(c[0][k] for c in box) for k in range(3)]
        channel = ranges.index(max(ranges))
        box.sort(key=lambda c: (c[0][channel], c[0]))
        total, running, cut = sum(n for _, n in box), 0, 1
        for i, (_, n) in enumerate(box[:-1]):
            running += n
            cut = i + 1
            if running * 2 >= total:
                break
        boxes.remove(box)
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple((sum(c[k] * n for c, n in box) + total // 2) // total for k in range(3)))
    return sorted(set(palette))


def mask_rows(width, rows):
    """The 1-bit AND mask, top row first, each row padded to 32 bits; 1 marks a transparent pixel."""
    stride = ((width + 31) // 32) * 4
    out = []
    for row in rows:
        bits = bytearray(stride)
        for x in range(width):
            if row[4 * x + 3] < ALPHA_THRESHOLD:
                bits[x // 8] |= 0x80 >> (x % 8)
        out.append(bytes(bits))
    return out


def bitmap_header(width, height, bits, image_size):
    # BITMAPINFOHEADER; the height counts the colour rows and the mask rows together.
    return struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bits, 0, image_size, 0, 0, 0, 0)


def image_32(width, height, rows):
    stride = width * 4
    pixels = b"".join(
        bytes(b for x in range(width) for b in (row[4 * x + 2], row[4 * x + 1], row[4 * x], row[4 * x + 3]))
        for row in reversed(rows)
    )
    mask = b"".join(reversed(mask_rows(width, rows)))
    return bitmap_header(width, height, 32, stride * height + len(mask)) + pixels + mask


def image_8(width, height, rows):
    opaque = {}
    for row in rows:
        for x in range(width):
            if row[4 * x + 3] >= ALPHA_THRESHOLD:
                rgb = tuple(row[4 * x : 4 * x + 3])
                opaque[rgb] = opaque.get(rgb, 0) + 1
    # Index 0 is black: transparent pixels use it, so that XOR with the masked screen leaves it untouched.
    palette = [(0, 0, 0)] + [c for c in median_cut(opaque, 255) if c != (0, 0, 0)]
    palette += [(0, 0, 0)] * (256 - len(palette))
    nearest = {}

    def index(rgb):
        if rgb not in nearest:
            nearest[rgb] = min(
                range(len(palette)), key=lambda i: (sum((a - b) ** 2 for a, b in zip(palette[i], rgb)), i)
            )
        return nearest[rgb]

    stride = (width + 3) // 4 * 4
    lines = []
    for row in reversed(rows):
        line = bytearray(stride)
        for x in range(width):
            if row[4 * x + 3] >= ALPHA_THRESHOLD:
                line[x] = index(tuple(row[4 * x : 4 * x + 3]))
        lines.append(bytes(line))
    colour_table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    mask = b"".join(reversed(mask_rows(width, rows)))
    pixels = b"".join(lines)
    return bitmap_header(width, height, 8, len(pixels) + len(mask)) + colour_table + pixels + mask


def entry_fields(size, bits, blob):
    # Width and height 256 would be written as 0; colour count 0 means "256 or more".
    return (size % 256, size % 256, 0, 0, 1, bits, len(blob))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("ico", help="the .ico file to write")
    parser.add_argument("pngs", nargs="+", help="square RGBA PNGs, smallest first")
    parser.add_argument("--resource-dir", help="also write RT_ICON and RT_GROUP_ICON blobs here")
    args = parser.parse_args()

    images = []
    for png in args.pngs:
        width, height, rows = read_png_rgba(png)
        if width != height or width > 256:
            sys.exit(f"{png}: need a square image of at most 256 px, got {width} x {height}")
        images.append((width, 8, image_8(width, height, rows)))
        images.append((width, 32, image_32(width, height, rows)))

    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries, blobs = b"", b""
    for size, bits, blob in images:
        entries += struct.pack("<BBBBHHII", *entry_fields(size, bits, blob), offset)
        blobs += blob
        offset += len(blob)
    Path(args.ico).write_bytes(directory + entries + blobs)

    if args.resource_dir:
        out = Path(args.resource_dir)
        out.mkdir(parents=True, exist_ok=True)
        group = struct.pack("<HHH", 0, 1, len(images))
        for number, (size, bits, blob) in enumerate(images):
            ident = FIRST_IMAGE_ID + number
            (out / f"icon-{ident}.bin").write_bytes(blob)
            group += struct.pack("<BBBBHHIH", *entry_fields(size, bits, blob), ident)
        (out / "group-1.bin").write_bytes(group)


if __name__ == "__main__":
    main()
