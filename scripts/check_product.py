#!/usr/bin/env python3
"""Checks the product zemo.exe as a file: a 32-bit (i386) Windows GUI program whose
resources hold the application icon 129 and a manifest that binds the common controls 6."""
import struct
import sys

RT_ICON, RT_GROUP_ICON, RT_MANIFEST = 3, 14, 24


def fail(message):
    print(f"product check: {message}")
    sys.exit(1)


def main(path):
    data = open(path, 'rb').read()
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    if data[pe:pe + 4] != b'PE\0\0':
        fail('not a PE file')
    machine, sections, _, _, _, optional_size, _ = struct.unpack_from('<HHIIIHH', data, pe + 4)
    optional = pe + 24
    magic, = struct.unpack_from('<H', data, optional)
    subsystem, = struct.unpack_from('<H', data, optional + 68)
    if machine != 0x14C or magic != 0x10B:
        fail('not a 32-bit i386 program')
    if subsystem != 2:
        fail('not a GUI program')
    resource_rva, _ = struct.unpack_from('<II', data, optional + 96 + 2 * 8)
    table = optional + optional_size
    for i in range(sections):
        name, vsize, rva, raw_size, raw = struct.unpack_from('<8sIIII', data, table + 40 * i)
        if rva <= resource_rva < rva + max(vsize, raw_size):
            base = raw + resource_rva - rva
            delta = rva - raw
            break
    else:
        fail('no resources')

    def entries(offset):
        named, numbered = struct.unpack_from('<HH', data, base + offset + 12)
        for k in range(named + numbered):
            ident, target = struct.unpack_from('<II', data, base + offset + 16 + 8 * k)
            yield ident, target

    def leaf(target):
        while target & 0x80000000:
            target = next(entries(target & 0x7FFFFFFF))[1]
        data_rva, size = struct.unpack_from('<II', data, base + target)
        return data[data_rva - delta:data_rva - delta + size]

    types = {ident: target & 0x7FFFFFFF for ident, target in entries(0)}
    groups = dict(entries(types[RT_GROUP_ICON])) if RT_GROUP_ICON in types else {}
    if 129 not in groups:
        fail('no icon 129')
    count, = struct.unpack_from('<H', leaf(groups[129]), 4)
    sizes = sorted(leaf(groups[129])[6 + 14 * k] or 256 for k in range(count))
    if not {16, 32, 48} <= set(sizes):
        fail(f'icon 129 lacks a size: {sizes}')
    manifests = dict(entries(types[RT_MANIFEST])) if RT_MANIFEST in types else {}
    if 1 not in manifests:
        fail('no manifest 1')
    manifest = leaf(manifests[1]).decode('utf-8')
    if 'Microsoft.Windows.Common-Controls' not in manifest or '6.0.0.0' not in manifest:
        fail('the manifest does not bind Common-Controls 6.0.0.0')
    print(f"product check: {path}: PE32 i386 GUI, icon 129 ({sizes} px), common controls 6 manifest")


if __name__ == '__main__':
    main(sys.argv[1])
