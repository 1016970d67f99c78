#!/usr/bin/env python3
"""Values the Linux program writes into its store, of every type and text form, in a UTF-8 and a
UTF-16 store, go through Wine's reg import and reg export: each must come back as the program
meant it. The program writes the document's texts as REG_SZ, and writes anew every typed value of
the store, each of which the store holds twice (a repeated line is merged into the first, so its
data changed). A UTF-8 store refuses text it can only hold as bytes outside windows-1252 (the run
logs each such value), and holds non-ASCII quoted text and names in UTF-8, which reg import
reads in the ANSI code page: those are left out of its meaning, as the README says.
Usage: store_values_import_as_meant.py LINUX_PROGRAM WINE_RUN [WINE_RUN_OPTION...]"""
import re
import shutil
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / 'cases'))
from run_cases import decode, fold, parse_reg, UNASSIGNED_1252  # noqa: E402

ROOT = 'SOFTWARE\\RegistryUpdateValueForms'
TEXTS = ['plain', 'quote " and \\ backslash', 'tab\there', 'line\nfeed', 'carriage\rreturn',
         'both\r\nends', '', 'é€‰ in windows-1252', 'é€\nwith a line break',
         'Ω 計 😀 beyond it', 'Ω\nbeyond it with a line break', '😀\r\n']
NAMES = ['name\nwith a line break', 'name "quoted" \\', 'Zähler Ω', '😀\rname']
# (name, type, data as the registry holds it, its last NUL left out of text)
TYPED = [('Dword', 4, 0x80000000), ('DwordAsHex', 4, 5), ('Qword', 11, bytes(range(1, 9))),
         ('Binary', 3, b'\0\xff'), ('None', 0, b''), ('Text', 1, 'é€\nline'),
         ('Expandable', 2, '%Path%é'), ('Multi', 7, 'a\0é€\0\0'.encode('utf-16-le')),
         ('WideExpandable', 2, 'Ω%Path%'), ('WideMulti', 7, 'Ω\0\0'.encode('utf-16-le'))]
CONTROL = re.compile(r'[\x00-\x1f]')


def windows_1252(text):
    """The text's bytes in windows-1252; raises UnicodeEncodeError for a character it lacks."""
    return bytes(ord(c) if c in UNASSIGNED_1252.decode('latin-1') else c.encode('cp1252')[0]
                 for c in text)


def single_byte(text):
    try:
        windows_1252(text)
        return True
    except UnicodeEncodeError:
        return False


def store_line(name, kind, data, utf16):
    """The value as a store of that encoding holds it; None where a UTF-8 one cannot."""
    if kind == 4:
        return f'"{name}"=' + (f'dword:{data:08x}' if name == 'Dword' else
                               'hex(4):' + struct.pack('<I', data).hex(','))
    if kind in (1, 2):
        data = (data + '\0').encode('utf-16-le')
    if kind in (1, 2, 7) and not utf16:
        try:
            data = windows_1252(data.decode('utf-16-le'))
        except UnicodeEncodeError:
            return None
    return f'"{name}"=hex({kind:x}):' + data.hex(',')


def attribute(text):
    return ''.join({'&': '&amp;', '<': '&lt;', '"': '&quot;'}.get(c) or
                   (f'&#{ord(c)};' if ord(c) < 32 else c) for c in text)


def run_store(work, wine, utf16):
    """Runs the program on a new store; returns what it meant, the values it refused against
    those it should, its other log lines, and what Wine exports after importing its store."""
    lines = [store_line(n, k, d, utf16) for n, k, d in TYPED]
    text = ('Windows Registry Editor Version 5.00\n\n'
            '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\ProductInfo.ProductInfo]\n'
            '"Manufacturer"="RegistryUpdateValueForms"\n"ProductName"="P"\n"ProductVersion"="1"\n\n'
            f'[HKEY_LOCAL_MACHINE\\{ROOT}\\Typed]\n' +
            ''.join(f'"{n}"=""\n' for (n, _, _), line in zip(TYPED, lines) if line) +
            ''.join(line + '\n' for line in lines if line)).replace('\n', '\r\n')
    store = work / 'HKEY_LOCAL_MACHINE.reg'
    store.write_bytes(b'\xff\xfe' + text.encode('utf-16-le') if utf16 else text.encode())
    entries = [(f'T{n}', text) for n, text in enumerate(TEXTS)] + [(n, 'x') for n in NAMES]
    (work / 'meters.xml').write_text(
        '<Meters><Product name=""><IncludeKey vendor="V"/></Product><Device vendor="V" type="D">'
        '<RegistryData><Firmware version="1">' +
        ''.join(f'<Key voltsMode="{attribute(n)}" Filename="{attribute(t)}"/>' for n, t in entries)
        + '</Firmware></RegistryData></Device></Meters>', encoding='utf-8')
    subprocess.run([str(work / 'RegistryUpdate'), 'meters.xml'], cwd=work, check=True)
    log = (work / 'registryErrorLog.txt').read_text(encoding='utf-8').splitlines()
    refusal = re.compile(r'.* Could not write registry value "(.*)" in .*')
    refused = [m[1] for line in log if (m := refusal.fullmatch(line))]

    # A UTF-8 store holds text with a control character as windows-1252 bytes, or refuses it;
    # other text and names are UTF-8, which reg import reads alike only in ASCII.
    device = f'{ROOT}\\P\\1\\DeviceInfo\\D\\1'
    to_refuse = [n for n, t in entries if not utf16 and CONTROL.search(t) and not single_byte(t)]
    meant = {(device, n): (1, t) for n, t in entries if utf16 or (
        n.isascii() and n not in to_refuse and (t.isascii() or CONTROL.search(t)))}
    meant.update({(f'{ROOT}\\Typed', n): (k, d) for (n, k, d), line in zip(TYPED, lines) if line})
    clear = work / 'clear.reg'
    clear.write_bytes(b'\xff\xfe' + ('Windows Registry Editor Version 5.00\r\n\r\n'
                                     f'[-HKEY_LOCAL_MACHINE\\{ROOT}]\r\n').encode('utf-16-le'))
    run = lambda *command: subprocess.run(wine + list(command), cwd=work, check=True,
                                          stdin=subprocess.DEVNULL, capture_output=True)
    run('reg', 'import', clear.name)
    run('reg', 'import', store.name)
    run('reg', 'export', f'HKEY_LOCAL_MACHINE\\{ROOT}', 'exported.reg', '/y')
    run('reg', 'import', clear.name)
    exported = parse_reg(decode((work / 'exported.reg').read_bytes()))
    got = {(fold(path), fold(name)): (kind, data) for path, values in exported.values()
           for name, kind, data in values.values()}
    return meant, (refused, to_refuse), [line for line in log if not refusal.fullmatch(line)], got


def main():
    program, wine = Path(sys.argv[1]).resolve(), sys.argv[2:]
    differ = 0
    for utf16 in (False, True):
        work = Path(tempfile.mkdtemp())
        try:
            shutil.copy(program, work / 'RegistryUpdate')
            meant, (refused, to_refuse), other_lines, got = run_store(work, wine, utf16)
        finally:
            shutil.rmtree(work, ignore_errors=True)
        store = 'UTF-16' if utf16 else 'UTF-8'
        if refused != to_refuse or other_lines:
            print(f'{store} store: refused {refused}, not {to_refuse}; logged {other_lines}')
            differ += 1
        for (path, name), value in meant.items():
            if got.get((fold(path), fold(name))) != value:
                print(f'{store} store: {path} {name!r} meant {value!r}, imported as '
                      f'{got.get((fold(path), fold(name)))!r}')
                differ += 1
        print(f'{store} store: {len(meant)} values imported and exported by Wine, '
              f'{len(refused)} refused')
    print(f'{differ} differences from what the program meant')
    return 1 if differ else 0


if __name__ == '__main__':
    sys.exit(main())
