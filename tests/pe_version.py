#!/usr/bin/env python3
"""Prints the version resource of a 32-bit PE file as Windows' file properties show it:

    FILEVERSION 1.0.0.0
    PRODUCTVERSION 1.0.0.0
    FileVersion 1.0.0
    ProductVersion 1.0.0
    ... (every string of the StringFileInfo tables)

usage: tests/pe_version.py FILE.dll
Exits 1 with a reason when the file is no PE file or has no version resource.
"""
import struct
import sys

RT_VERSION = 16


def fail(reason):
    sys.exit("pe_version: " + reason)


def read_pe(data):
    if data[:2] != b"MZ":
        fail("no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        fail("no PE signature")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    if struct.unpack_from("<H", data, optional)[0] != 0x10B:
        fail("not a 32-bit PE file")
    resource_rva, _ = struct.unpack_from("<II", data, optional + 96 + 2 * 8)  # data directory 2: resources
    table = []
    for i in range(sections):
        _, virtual_size, rva, raw_size, raw_offset = struct.unpack_from("<8sIIII", data, optional + optional_size + 40 * i)
        table.append((rva, max(virtual_size, raw_size), raw_offset))

    def offset(rva_wanted):
        for rva, size, raw in table:
            if rva <= rva_wanted < rva + size:
                return raw + rva_wanted - rva
        fail("address %#x in no section" % rva_wanted)

    return offset, resource_rva


def version_resource(data):
    offset, resource_rva = read_pe(data)
    if resource_rva == 0:
        fail("no resources")
    base = offset(resource_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<12xHH", data, base + directory)
        return [struct.unpack_from("<II", data, base + directory + 16 + 8 * i) for i in range(named + numbered)]

    node = None
    for ident, target in entries(0):
        if ident == RT_VERSION:
            node = target
    if node is None:
        fail("no version resource")
    for _ in range(2):  # name, then language: the first of each
        node = entries(node & 0x7FFFFFFF)[0][1]
    rva, size = struct.unpack_from("<II", data, base + node)
    start = offset(rva)
    return data[start:start + size]


def blocks(raw, at, end):
    """VS_VERSIONINFO and its children: (key, value bytes, text flag, children)."""
    while at + 6 <= end:
        length, value_length, kind = struct.unpack_from("<HHH", raw, at)
        if length == 0:
            break
        key_end = at + 6
        while raw[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = raw[at + 6:key_end].decode("utf-16-le")
        value_at = (key_end + 2 + 3) & ~3
        value_size = value_length * 2 if kind == 1 else value_length
        value = raw[value_at:value_at + value_size]
        children = list(blocks(raw, (value_at + value_size + 3) & ~3, at + length))
        yield key, value, kind == 1, children
        at = (at + length + 3) & ~3


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "rb") as f:
        raw = version_resource(f.read())
    root = list(blocks(raw, 0, len(raw)))
    if not root or root[0][0] != "VS_VERSION_INFO":
        fail("the version resource holds no VS_VERSION_INFO")
    _, fixed, _, children = root[0]
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    if signature != 0xFEEF04BD:
        fail("no VS_FIXEDFILEINFO")
    dotted = lambda ms, ls: "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    print("FILEVERSION", dotted(file_ms, file_ls))
    print("PRODUCTVERSION", dotted(product_ms, product_ls))
    for key, _, _, tables in children:
        if key != "StringFileInfo":
            continue
        for _, _, _, strings in tables:
            for name, value, _, _ in strings:
                print(name, value.decode("utf-16-le").rstrip("\0"))


if __name__ == "__main__":
    main()
