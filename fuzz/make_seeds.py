#!/usr/bin/env python3
"""Writes the fuzzers' seed inputs into fuzz/corpus: small images of every kind the image
loader recognises, and typical high score file contents. Run once; the output is committed."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def png(width, height, depth, colour_type, rows, extra=b""):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(
            ">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0)
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def images():
    rgba = [bytes([x * 60, y * 60, 255 - x * 60, (x + y) * 40]) * 1 for y in range(4)
            for x in range(4)]
    write("fuzz_image", "rgba-4x4.png",
          png(4, 4, 8, 6, [b"".join(rgba[y * 4:(y + 1) * 4]) for y in range(4)]))
    write("fuzz_image", "rgb-3x2.png", png(3, 2, 8, 2, [bytes([0, 255, 255] * 3)] * 2))
    write("fuzz_image", "grey-2x2.png", png(2, 2, 8, 0, [b"\x00\xff", b"\x80\x40"]))
    palette = struct.pack(">I", 6) + b"PLTE" + bytes([0, 255, 255, 200, 10, 10])
    palette += struct.pack(">I", zlib.crc32(b"PLTE" + bytes([0, 255, 255, 200, 10, 10])))
    trns = struct.pack(">I", 1) + b"tRNS" + b"\x00" + struct.pack(
        ">I", zlib.crc32(b"tRNS\x00"))
    write("fuzz_image", "palette-4x4.png",
          png(4, 4, 8, 3, [bytes([0, 1, 0, 1])] * 4, palette + trns))
    write("fuzz_image", "rgba16-2x2.png", png(2, 2, 16, 6, [bytes(range(16))] * 2))
    # 24-bit BMP, 3 x 2, rows padded to 4 bytes, stored bottom-up.
    pixels = (bytes([255, 255, 0] * 3) + b"\0\0\0") * 2
    info = struct.pack("<IiiHHIIiiII", 40, 3, 2, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    write("fuzz_image", "rgb-3x2.bmp",
          b"BM" + struct.pack("<IHHI", 14 + 40 + len(pixels), 0, 0, 54) + info + pixels)
    # 8-bit palettised BMP, 2 x 2.
    pixels = bytes([0, 1, 0, 0, 1, 0, 0, 0])
    table = bytes([255, 255, 0, 0, 0, 0, 255, 0])
    info = struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 8, 0, len(pixels), 0, 0, 2, 2)
    write("fuzz_image", "palette-2x2.bmp",
          b"BM" + struct.pack("<IHHI", 14 + 40 + 8 + 8, 0, 0, 62) + info + table + pixels)
    # Uncompressed true-colour TGA with alpha, 2 x 2.
    write("fuzz_image", "rgba-2x2.tga",
          struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, 2, 2, 32, 8) +
          bytes([255, 255, 0, 255, 0, 0, 255, 128] * 2))
    write("fuzz_image", "rgb-2x2.ppm", b"P6\n2 2\n255\n" + bytes([0, 255, 255, 9, 9, 9] * 2))
    # A one-pixel GIF.
    write("fuzz_image", "dot.gif",
          b"GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\xff\xff\xff\xff\xff!\xf9\x04\x01\x00"
          b"\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;")
    write("fuzz_image", "cursor.xpm",
          b"/* XPM */\nstatic char *c[] = {\"3 2 2 1\", \". c #00FFFF\", \"# c #FF0000\","
          b" \".#.\", \"#.#\"};\n")


def scores():
    for i, text in enumerate([b"42\n", b" -7", b"2147483647\n", b"-2147483648", b"2147483648",
                              b"-2147483649", b"abc", b"", b" \n\t ", b"+5", b"0x10", b"42abc",
                              b"000000000000000000042", b"4\x002"]):
        write("fuzz_high_score", "seed-%02d" % i, text)


images()
scores()
