#!/usr/bin/env python3
"""Key and value names that differ only by case, for every case pair Unicode defines, go into
Wine's registry (reg import, then reg export) and into the Linux store (the Linux program run on
a store holding them, which writes the store back): both must keep the same names apart and
merge the same names. Each pair of letters of one case group (letters linked by Unicode's simple
upper, lower and title case mappings and its case folding, beyond U+FFFF too) gets a key holding
the two as values and as subkeys.
Usage: store_names_compare_as_wine.py LINUX_PROGRAM UNICODE_FOLDER WINE_RUN [WINE_RUN_OPTION...]"""
import itertools
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = 'HKEY_LOCAL_MACHINE\\SOFTWARE\\RegistryUpdateCaseNames'
HEADER = 'Windows Registry Editor Version 5.00\n\n'


def case_groups(unicode_folder):
    """The sets of two or more characters that Unicode's case mappings link, in code order."""
    parent = {}

    def find(c):
        while parent.setdefault(c, c) != c:
            c = parent[c]
        return c

    def link(a, b):
        parent[find(a)] = find(b)

    for line in (unicode_folder / 'UnicodeData.txt').open(encoding='utf-8'):
        fields = line.split(';')
        for mapped in fields[12:15]:
            if mapped.strip():
                link(int(fields[0], 16), int(mapped, 16))
    for line in (unicode_folder / 'CaseFolding.txt').open(encoding='utf-8'):
        fields = [f.strip() for f in line.split('#')[0].split(';')]
        if len(fields) > 2 and fields[1] in ('C', 'S'):
            link(int(fields[0], 16), int(fields[2], 16))
    groups = {}
    for c in sorted(parent):
        groups.setdefault(find(c), []).append(chr(c))
    return [g for g in groups.values() if len(g) > 1]


def utf16(text):
    return b'\xff\xfe' + text.replace('\n', '\r\n').encode('utf-16-le')


def exported(path):
    return path.read_bytes()[2:].decode('utf-16-le')


def outcomes(text, pairs):
    """Per pair, in order: (whether its values stayed apart, whether its keys did)."""
    values, subkeys, current = [0] * len(pairs), [0] * len(pairs), None
    for line in text.split('\r\n'):
        if section := re.fullmatch(r'\[.*\\P(\d+)(\\[^\\]*)?\]', line):
            current = None if section.group(2) else int(section.group(1))
            subkeys[int(section.group(1))] += bool(section.group(2))
        elif line.startswith('"') and current is not None:
            values[current] += 1
    return [(v == 2, k == 2) for v, k in zip(values, subkeys)]


def main():
    program, unicode_folder, wine = Path(sys.argv[1]).resolve(), Path(sys.argv[2]), sys.argv[3:]
    groups = case_groups(unicode_folder)
    pairs = [pair for group in groups for pair in itertools.combinations(group, 2)]
    text = HEADER
    for n, (a, b) in enumerate(pairs):
        text += f'[{ROOT}\\P{n}]\n"{a}"="{ord(a):X}"\n"{b}"="{ord(b):X}"\n\n'
        text += f'[{ROOT}\\P{n}\\{a}]\n\n[{ROOT}\\P{n}\\{b}]\n\n'
    work = Path(tempfile.mkdtemp())
    try:
        (work / 'names.reg').write_bytes(utf16(text))
        (work / 'clear.reg').write_bytes(utf16(f'{HEADER}[-{ROOT}]\n'))
        run = lambda *command: subprocess.run(wine + list(command), cwd=work, check=True,
                                              stdin=subprocess.DEVNULL, capture_output=True)
        run('reg', 'import', 'clear.reg')
        run('reg', 'import', 'names.reg')
        run('reg', 'export', ROOT, 'exported.reg', '/y')
        run('reg', 'import', 'clear.reg')
        wine_kept = outcomes(exported(work / 'exported.reg'), pairs)

        # The Linux program writes one value, so that it saves the store that holds the names.
        shutil.copy(program, work / 'RegistryUpdate')
        (work / 'HKEY_LOCAL_MACHINE.reg').write_bytes(utf16(text + (
            '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\ProductInfo.ProductInfo]\n'
            '"Manufacturer"="M"\n"ProductName"="P"\n"ProductVersion"="1"\n')))
        (work / 'meters.xml').write_text(
            '<Meters><Product name=""><IncludeKey vendor="V"/></Product><Device vendor="V" '
            'type="T"><RegistryData><Firmware version="1"><Key voltsMode="A" Filename="a"/>'
            '</Firmware></RegistryData></Device></Meters>')
        subprocess.run([str(work / 'RegistryUpdate'), 'meters.xml'], cwd=work, check=True)
        if log := (work / 'registryErrorLog.txt').read_bytes():
            sys.exit(f'the Linux run logged: {log[:300]!r}')
        store_kept = outcomes(exported(work / 'HKEY_LOCAL_MACHINE.reg'), pairs)
    finally:
        shutil.rmtree(work, ignore_errors=True)

    differ = [n for n, outcome in enumerate(wine_kept) if outcome != store_kept[n]]
    for n in differ:
        print(f'{" ".join(pairs[n])}: (values, keys) kept apart by Wine {wine_kept[n]}, '
              f'by the store {store_kept[n]}')
    print(f'{len(groups)} case groups, {len(pairs)} pairs; the store treats {len(differ)} pairs '
          f'other than Wine')
    return 1 if differ else 0

if __name__ == '__main__':
    sys.exit(main())
