#!/usr/bin/env python3
"""A large real export serves as the Linux store: Wine's own HKEY_LOCAL_MACHINE\\Software, as
reg export writes it, with the product component's key added. The Linux program adds its
entries; its log stays empty and every byte of the export comes back as it was, the new entries
after it. The saved file, imported into keys that did not exist before (the same paths under
HKEY_CURRENT_USER\\RegistryUpdateExportCopy, so that no second Wine prefix has to be made) and
exported again, gives back every entry it holds.
Usage: store_keeps_a_real_export.py LINUX_PROGRAM WINE_RUN [WINE_RUN_OPTION...]"""
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

COPY = 'HKEY_CURRENT_USER\\RegistryUpdateExportCopy'
DOCUMENT = '''<Meters><Product name="^Mess"><IncludeKey vendor="V"/></Product>
<Device vendor="V" type="Zähler-Ω-計"><RegistryData><Firmware version="✓">
<Key voltsMode="€" Filename="ü𝄞.cfg"/><Key voltsMode="ı" Filename="dotless.cfg"/>
<Key voltsMode="I" Filename="capital.cfg"/></Firmware></RegistryData></Device></Meters>'''


def utf16(text):
    return b'\xff\xfe' + text.encode('utf-16-le', 'surrogatepass')


def entries(text, root):
    """Every key and value below the root, one line each, paths and hex data on one line."""
    lines, path = [], None
    for line in text.replace('\\\r\n  ', '').split('\r\n')[1:]:
        if line.startswith('['):
            path = line[1:-1]
            lines.append(path)
        elif line and not line.startswith(';'):
            lines.append(f'{path}\t{line}')
    return sorted(line[len(root):] for line in lines if line.lower().startswith(root.lower()))


def main():
    program, wine = Path(sys.argv[1]).resolve(), sys.argv[2:]
    work = Path(tempfile.mkdtemp())
    run = lambda *command: subprocess.run(wine + list(command), cwd=work, check=True,
                                          stdin=subprocess.DEVNULL, capture_output=True)
    clear = work / 'clear.reg'
    # The component's key, which the behaviour cases leave, is the one the run adds.
    clear.write_bytes(utf16(f'Windows Registry Editor Version 5.00\r\n\r\n[-{COPY}]\r\n[-'
                            'HKEY_LOCAL_MACHINE\\Software\\Classes\\ProductInfo.ProductInfo]\r\n'))
    try:
        run('reg', 'import', 'clear.reg')
        run('reg', 'export', 'HKEY_LOCAL_MACHINE\\Software', 'software.reg', '/y')
        export = (work / 'software.reg').read_bytes() + utf16(
            '[HKEY_LOCAL_MACHINE\\Software\\Classes\\ProductInfo.ProductInfo]\r\n'
            '"Manufacturer"="Zähler Werk"\r\n"ProductName"="Messgerät €"\r\n'
            '"ProductVersion"="1.0"\r\n\r\n')[2:]
        store = work / 'HKEY_LOCAL_MACHINE.reg'
        store.write_bytes(export)
        shutil.copy(program, work / 'RegistryUpdate')
        (work / 'meters.xml').write_text(DOCUMENT, encoding='utf-8')
        subprocess.run([str(work / 'RegistryUpdate'), 'meters.xml'], cwd=work, check=True)
        if log := (work / 'registryErrorLog.txt').read_bytes():
            sys.exit(f'the run logged: {log[:300]!r}')
        saved = store.read_bytes()
        added = saved[len(export):].decode('utf-16-le')
        if not saved.startswith(export) or added.count('"') != 12 or added.count('[') != 6:
            sys.exit(f'the export changed, or the run added other than 6 keys and 3 values: '
                     f'{added!r}')

        source = '\r\n'.join(line.replace('[HKEY_LOCAL_MACHINE\\', f'[{COPY}\\', 1)
                             for line in saved[2:].decode('utf-16-le').split('\r\n'))
        (work / 'copy.reg').write_bytes(utf16(source))
        run('reg', 'import', 'clear.reg')
        run('reg', 'import', 'copy.reg')
        run('reg', 'export', f'{COPY}\\Software', 'exported.reg', '/y')
        want = entries(source, COPY)
        got = entries((work / 'exported.reg').read_bytes()[2:].decode('utf-16-le'), COPY)
        if want != got:
            missing, extra = sorted(set(want) - set(got)), sorted(set(got) - set(want))
            sys.exit(f'{len(missing)} entries lost, {len(extra)} gained: '
                     f'{missing[:5]!r} {extra[:5]!r}')
        print(f'{len(export)} bytes of export kept; {len(got)} keys and values came back')
    finally:
        subprocess.run(wine + ['reg', 'import', 'clear.reg'], cwd=work, capture_output=True)
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == '__main__':
    sys.exit(main())
