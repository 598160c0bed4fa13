#!/usr/bin/env python3
"""Checks the product zemo.exe as a file: a 32-bit (i386) Windows GUI program whose
resources hold the application icon (res/resource.h), a version resource with the version
of CMakeLists.txt and the company, and a manifest that binds the common controls 6, runs
as the invoker, names the four supported systems and declares per-monitor DPI awareness.
With a package (scripts/package.sh), also checks that it holds exactly this zemo.exe, the
bilingual user guide and the licence.
Usage: check_product.py zemo.exe [zemo-<version>-win32.zip]"""
import os
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree
import zipfile

RT_ICON, RT_VERSION, RT_GROUP_ICON, RT_MANIFEST = 3, 16, 14, 24
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SUPPORTED_OS = {'{35138b9a-5d96-4fbd-8e2d-a2440225f93a}', '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}',
                '{1f676c76-80e1-4239-95bb-83d0f6d0da78}', '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'}


def fail(message):
    print(f"product check: {message}", file=sys.stderr)
    sys.exit(1)


def source(pattern, path):
    """The first group of `pattern` in a source file of the project."""
    match = re.search(pattern, open(os.path.join(ROOT, path), encoding='utf-8').read())
    if not match:
        fail(f'{path} does not say {pattern}')
    return match.group(1)


def version_tree(block, offset=0):
    """One node of a version resource: (key, value bytes, children), and its end."""
    length, value_length, text = struct.unpack_from('<HHH', block, offset)
    end = offset + length
    key_end = offset + 6
    while block[key_end:key_end + 2] != b'\0\0':
        key_end += 2
    key = block[offset + 6:key_end].decode('utf-16-le')
    cursor = (key_end + 2 + 3) & ~3
    value_size = value_length * 2 if text else value_length
    value = block[cursor:cursor + value_size]
    cursor = (cursor + value_size + 3) & ~3
    children = []
    while cursor < end:
        child, cursor = version_tree(block, cursor)
        children.append(child)
        cursor = (cursor + 3) & ~3
    return (key, value, children), end


def version_strings(node):
    key, value, children = node
    strings = {}
    for child in children:
        strings.update(version_strings(child))
    if not children and value:
        strings[key] = value.decode('utf-16-le').rstrip('\0')
    return strings


def check_version(block, version):
    root, _ = version_tree(block)
    fixed = root[1]
    signature, _, ms, ls, product_ms, product_ls = struct.unpack_from('<IIIIII', fixed)
    numbers = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    if signature != 0xFEEF04BD or numbers != version or (product_ms, product_ls) != (ms, ls):
        fail(f'the version resource says {numbers}, CMakeLists.txt {version}')
    strings = version_strings(root)
    text = '.'.join(map(str, version))
    expected = {'CompanyName': '墨池社区', 'FileVersion': text, 'ProductVersion': text,
                'FileDescription': 'ZEMO文件分类整理', 'OriginalFilename': 'zemo.exe'}
    for key, value in expected.items():
        if strings.get(key) != value:
            fail(f'version resource {key} is {strings.get(key)!r}, not {value!r}')


def check_manifest(text, version):
    tags = {}
    for element in ElementTree.fromstring(text).iter():
        tags.setdefault(element.tag.split('}')[-1], []).append(element)
    identities = {e.get('name'): e.get('version') for e in tags.get('assemblyIdentity', [])}
    if identities.get('Microsoft.Windows.Common-Controls') != '6.0.0.0':
        fail('the manifest does not bind Common-Controls 6.0.0.0')
    own = [v for name, v in identities.items() if name != 'Microsoft.Windows.Common-Controls']
    if own != ['.'.join(map(str, version))]:
        fail(f'the manifest\'s own assemblyIdentity version is {own}')
    if [e.get('level') for e in tags.get('requestedExecutionLevel', [])] != ['asInvoker']:
        fail('the manifest does not request asInvoker')
    if {e.get('Id') for e in tags.get('supportedOS', [])} != SUPPORTED_OS:
        fail('the manifest does not name the four supported systems')
    awareness = [e.text.strip() for e in tags.get('dpiAwareness', [])]
    if not awareness or awareness[0].split(',')[0].strip() != 'PerMonitorV2':
        fail(f'the manifest declares dpiAwareness {awareness}, not PerMonitorV2 first')
    if [e.text.strip() for e in tags.get('dpiAware', [])] != ['true/pm']:
        fail('the manifest lacks dpiAware true/pm for systems before Windows 10 1607')


def check_package(package, program):
    with zipfile.ZipFile(package) as archive:
        entries = {entry.filename: entry for entry in archive.infolist()}
        expected = {'zemo.exe', '使用说明.txt', 'LICENSE.txt'}
        if set(entries) != expected:
            fail(f'{package} holds {sorted(entries)}, not {sorted(expected)}')
        if not entries['使用说明.txt'].flag_bits & 0x800:
            fail(f'{package} does not mark its file names as UTF-8')
        if archive.read('zemo.exe') != open(program, 'rb').read():
            fail(f'the zemo.exe in {package} is not {program}')
        guide = archive.read('使用说明.txt')
        if not guide.startswith(b'\xef\xbb\xbf') or b'\r\n' not in guide:
            fail('使用说明.txt is not UTF-8 with a byte order mark and CRLF line ends')
        for topic in ('【中文】', '【English】', 'config.ini', '快捷键配置', '不会被覆盖',
                      'never overwritten'):
            if topic not in guide.decode('utf-8'):
                fail(f'使用说明.txt does not mention {topic}')
        licence = archive.read('LICENSE.txt').decode('utf-8')
        if 'MIT License' not in licence or '墨池社区' not in licence:
            fail('LICENSE.txt is not the MIT licence of 墨池社区')
    print(f"product check: {package}: zemo.exe, 使用说明.txt, LICENSE.txt")


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

    icon = int(source(r'#define ZEMO_ICON (\d+)', 'res/resource.h'))
    version = tuple(map(int, source(r'project\(zemo VERSION (\d+\.\d+\.\d+)',
                                    'CMakeLists.txt').split('.'))) + (0,)
    types = {ident: target & 0x7FFFFFFF for ident, target in entries(0)}

    def resource(kind, ident):
        found = dict(entries(types[kind])) if kind in types else {}
        return leaf(found[ident]) if ident in found else None

    group = resource(RT_GROUP_ICON, icon)
    if group is None:
        fail(f'no icon {icon}')
    count, = struct.unpack_from('<H', group, 4)
    sizes = sorted(group[6 + 14 * k] or 256 for k in range(count))
    if not {16, 32, 48} <= set(sizes):
        fail(f'icon {icon} lacks a size: {sizes}')
    versions = resource(RT_VERSION, 1)
    if versions is None:
        fail('no version resource')
    check_version(versions, version)
    manifest = resource(RT_MANIFEST, 1)
    if manifest is None:
        fail('no manifest 1')
    check_manifest(manifest.decode('utf-8'), version)
    print(f"product check: {path}: PE32 i386 GUI, icon {icon} ({sizes} px), version "
          f"{'.'.join(map(str, version))}, manifest: common controls 6, asInvoker, four systems, "
          "per-monitor DPI v2")


if __name__ == '__main__':
    main(sys.argv[1])
    if len(sys.argv) > 2:
        check_package(sys.argv[2], sys.argv[1])
