#!/usr/bin/python3
"""Write quillpad.ico, the icon of the Quill Pad sample (16x16 and 32x32, 4 bpp).

The picture is a sheet of paper with a few lines of text and a blue quill
across it, drawn from the character map below (the 32x32 image is the
same map at twice the size).  Everything is computed from constants, so
the bytes are identical on every run.

usage: make-icon.py OUT.ico
"""
import struct
import sys

# The standard 16-colour palette, as B, G, R, 0 quads.
PALETTE = [
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
]
# map character -> palette index; '.' is transparent
COLOURS = {"k": 0, "g": 8, "s": 7, "w": 15, "b": 12, "n": 4, "y": 11}

ART = [
    "..kkkkkkkkkk....",
    "..kwwwwwwwwkk...",
    "..kwwwwwwwwksk..",
    "..kwggggwwwkkkk.",
    "..kwwwwwwwwwwbk.",
    "..kwggggggwwbbk.",
    "..kwwwwwwwwbbnk.",
    "..kwgggggwbbnwk.",
    "..kwwwwwwbbnwwk.",
    "..kwggggbbnwwwk.",
    "..kwwwwbbnwwwwk.",
    "..kwgggbnwwwwwk.",
    "..kwwwyywwwwwwk.",
    "..kwwwykwwwwwwk.",
    "..kwwwwwwwwwwwk.",
    "..kkkkkkkkkkkkk.",
]


def dib(scale):
    size = 16 * scale
    rows = [[ch for ch in row for _ in range(scale)] for row in ART for _ in range(scale)]
    xor = b""
    mask = b""
    for row in reversed(rows):               # DIB rows are stored bottom-up
        pixels = [COLOURS.get(ch, 0) for ch in row]
        line = bytes((pixels[i] << 4) | pixels[i + 1] for i in range(0, size, 2))
        xor += line + b"\0" * (-len(line) % 4)
        bits = 0
        for ch in row:
            bits = (bits << 1) | (1 if ch == "." else 0)
        m = bits.to_bytes(size // 8, "big")
        mask += m + b"\0" * (-len(m) % 4)
    palette = b"".join(struct.pack("<I", c) for c in PALETTE)
    bih = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                      len(xor) + len(mask), 0, 0, 16, 0)
    return size, bih + palette + xor + mask


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: make-icon.py OUT.ico\n")
        return 2
    images = [dib(1), dib(2)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    out += b"".join(image for _, image in images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
