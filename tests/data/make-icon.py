#!/usr/bin/python3
"""Write a tiny 16x16 monochrome .ico (176 bytes) used by basic.rc.

The image is a hollow square; the bytes are fixed so rebuilding the
fixtures always gives the same result.

usage: make-icon.py OUT.ico
"""
import struct
import sys

W = H = 16


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: make-icon.py OUT.ico\n")
        return 2
    # 1 bpp rows are padded to 4 bytes; rows are stored bottom-up.
    xor_rows = []
    for y in range(H):
        if y in (0, H - 1):
            bits = 0xFFFF
        else:
            bits = 0x8001
        xor_rows.append(struct.pack(">H", bits) + b"\0\0")
    xor = b"".join(reversed(xor_rows))
    and_mask = b"\0" * (4 * H)          # fully opaque
    palette = struct.pack("<II", 0x00000000, 0x00FFFFFF)
    bih = struct.pack("<IiiHHIIiiII", 40, W, H * 2, 1, 1, 0,
                      len(xor) + len(and_mask), 0, 0, 2, 0)
    image = bih + palette + xor + and_mask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", W, H, 2, 0, 1, 1, len(image), 6 + 16)
    with open(sys.argv[1], "wb") as f:
        f.write(header + entry + image)
    return 0


if __name__ == "__main__":
    sys.exit(main())
