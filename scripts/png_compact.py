#!/usr/bin/env python3
"""Stores a screenshot (8-bit RGB PNG, as the tests write it) small: a palette where it has at
most 256 colours, each row's best filter, zlib's best compression.
   png_compact.py IN.png OUT.png"""
import struct
import sys
import zlib


def chunks(data):
    pos = 8
    while pos + 8 <= len(data):
        size, kind = struct.unpack(">I4s", data[pos:pos + 8])
        yield kind, data[pos + 8:pos + 8 + size]
        pos += 12 + size


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def unfilter(raw, width, height, bpp):
    stride = width * bpp
    rows, prev, pos = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b, c = prev[i], (prev[i - bpp] if i >= bpp else 0)
            line[i] = (line[i] + (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]) & 0xFF
        rows.append(bytes(line))
        prev = line
    return rows


def filtered(rows, bpp):
    out, prev = bytearray(), bytes(len(rows[0]))
    for line in rows:
        sub = bytes((line[i] - (line[i - bpp] if i >= bpp else 0)) & 0xFF for i in range(len(line)))
        up = bytes((line[i] - prev[i]) & 0xFF for i in range(len(line)))
        best = min(((0, line), (1, sub), (2, up)), key=lambda c: sum(min(v, 256 - v) for v in c[1]))
        out.append(best[0])
        out += best[1]
        prev = line
    return bytes(out)


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def main(source, target):
    data = open(source, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"png_compact: {source} is no PNG")
    parts = list(chunks(data))
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", parts[0][1])
    if (depth, colour, interlace) != (8, 2, 0):
        sys.exit(f"png_compact: {source} is not 8-bit RGB without interlace")
    rows = unfilter(zlib.decompress(b"".join(b for k, b in parts if k == b"IDAT")), width, height, 3)
    colours = sorted({row[i:i + 3] for row in rows for i in range(0, len(row), 3)})
    if len(colours) <= 256:
        index = {c: i for i, c in enumerate(colours)}
        rows = [bytes(index[row[i:i + 3]] for i in range(0, len(row), 3)) for row in rows]
        header = struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0)
        extra = chunk(b"PLTE", b"".join(colours))
        bpp = 1
    else:
        header, extra, bpp = parts[0][1], b"", 3
    body = zlib.compress(filtered(rows, bpp), 9)
    with open(target, "wb") as out:
        out.write(data[:8] + chunk(b"IHDR", header) + extra + chunk(b"IDAT", body) + chunk(b"IEND", b""))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
