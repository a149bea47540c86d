#!/usr/bin/env python3
"""Seeds of the document reader and renderer with arrowhead values that a
reader must clamp or ignore: kind and size codes far out of range, a size of
the wrong type, heads on a closed shape. Each is the shapes seed with
extension records added after one of its items."""
import struct
import sys
import zlib
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SOURCE = ROOT / "fuzz/corpus/render_document/shapes.lmra"
RECORD = 448


def records(data):
    at = 0
    while at + RECORD <= len(data):
        _, typ = struct.unpack_from("<ii", data, at)
        blob, = struct.unpack_from("<i", data, at + 112)
        name, = struct.unpack_from("<i", data, at + 56)
        blobbed = typ in (2000000, 1000100, 4000000, 5000000) or 1000300 <= typ <= 1002000
        length = RECORD + (max(blob, 0) if blobbed else 0) + (max(name, 0) if typ == 5000000 else 0)
        yield at, typ, length
        at += length


def entry(key, typ, value):
    k = key.encode()
    return bytes([len(k)]) + k + bytes([typ]) + struct.pack("<HI", 1, len(value)) + value


def integer(key, v):
    return entry(key, 1, struct.pack("<q", v))


def number(key, v):
    return entry(key, 2, struct.pack("<d", v))


def extension_records(stream, owner):
    parts = (len(stream) + 191) // 192
    out = b""
    for i in range(parts):
        r = bytearray(RECORD)
        struct.pack_into("<ii", r, 0, 7, 6000000)
        struct.pack_into("<i", r, 60, 147483647)
        struct.pack_into("<iii", r, 116, 2, 1, struct.unpack_from("<i", owner, 4)[0])
        r[128:160] = owner[72:104]
        piece = stream[i * 192:(i + 1) * 192]
        struct.pack_into("<iiiiI", r, 160, i, parts, len(stream), len(piece), zlib.crc32(stream) & 0xFFFFFFFF)
        r[256:256 + len(piece)] = piece
        out += bytes(r)
    return out


def with_values(data, owner_type, stream):
    for at, typ, length in records(data):
        if typ == owner_type:
            return data[:at + length] + extension_records(stream, data[at:at + RECORD]) + data[at + length:]
    raise SystemExit(f"no item of type {owner_type}")


def main():
    data = SOURCE.read_bytes()
    seeds = {
        "heads_out_of_range.lmra": with_values(data, 1000200, integer("fc.head.start", 10**9)
                                              + integer("fc.head.end", -7) + integer("fc.head.size", 10**9)),
        "heads_size_as_number.lmra": with_values(data, 1000200, integer("fc.head.end", 2)
                                                + number("fc.head.size", 1e9)),
        "heads_on_closed_shape.lmra": with_values(data, 1000500, integer("fc.head.start", 2)
                                                 + integer("fc.head.end", 3) + integer("fc.head.size", 2)),
    }
    for folder in ("read_document", "render_document"):
        for name, bytes_ in seeds.items():
            (ROOT / "fuzz/corpus" / folder / name).write_bytes(bytes_)
    return 0


if __name__ == "__main__":
    sys.exit(main())
