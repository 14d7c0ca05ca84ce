#!/usr/bin/env python3
"""Packs PNG images into one Windows icon (.ico) holding each as it is.

    make_ico.py OUTPUT.ico 16.png 32.png 48.png 256.png

Windows Vista and later read PNG-compressed images in icons at every size.
Each input must be a square PNG of at most 256 pixels.
"""
import struct
import sys


def png_size(data, name):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        sys.exit(f"make_ico.py: {name} is not a PNG image")
    width, height = struct.unpack(">II", data[16:24])
    if width != height or not 0 < width <= 256:
        sys.exit(f"make_ico.py: {name} is {width}x{height}, not a square of at most 256")
    return width


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    images = []
    for name in sys.argv[2:]:
        with open(name, "rb") as f:
            data = f.read()
        images.append((png_size(data, name), data))
    images.sort(key=lambda image: image[0])
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, bodies = b"", b""
    for size, data in images:
        # A size of 256 is written as 0; 32 bits per pixel.
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32,
                               len(data), offset + len(bodies))
        bodies += data
    with open(sys.argv[1], "wb") as f:
        f.write(header + entries + bodies)


if __name__ == "__main__":
    main()
