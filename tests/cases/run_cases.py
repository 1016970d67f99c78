#!/usr/bin/env python3
"""Runs behaviour cases (README.md beside this file) against one built program: the Linux
program, its registry HKEY_LOCAL_MACHINE.reg beside it, or RegistryUpdate.exe under Wine with the
test component built beside it registered, each case's keys imported into Wine's registry before
the run and exported after it. A preview, RegistryUpdatePreview(.exe), runs each case it can take
with the case's registry before, the product its component would answer, and its printed log."""
import argparse
import difflib
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = 'HKEY_LOCAL_MACHINE'
COMPONENT = 'SOFTWARE\\Classes\\ProductInfo.ProductInfo'
CLASS_ID = '{6A0D3C52-8E4B-4F71-9C1D-2B7E5A90F3C4}'
TIMEOUT = 60  # seconds a run may take
SKIPPED = 77  # the status when every case was skipped, as CTest's SKIP_RETURN_CODE reads it
ASCII_UPPER = {c: c - 32 for c in range(ord('a'), ord('z') + 1)}


class Failed(Exception):
    pass


class Skipped(Exception):
    pass


# Text data as bytes, in a file without UTF-16, which reg import reads in the ANSI code page.
TEXT_HEX = re.compile(r'(=hex\([127]\):)((?:[0-9a-fA-F]{2}|[, \t]|\\[ \t]*\r?\n[ \t]*)*)', re.I)
UNASSIGNED_1252 = b'\x81\x8d\x8f\x90\x9d'  # Windows maps them to the C1 controls of their number


def utf16_text_hex(match):
    """windows-1252 text data, given a NUL at its end as reg import does, as UTF-16LE data."""
    raw = bytes.fromhex(re.sub(r'[^0-9a-fA-F]', '', match[2]))
    raw += b'\0' if raw and raw[-1] else b''
    text = ''.join(chr(b) if b in UNASSIGNED_1252 else bytes([b]).decode('cp1252') for b in raw)
    return match[1] + ','.join(f'{b:02x}' for b in text.encode('utf-16-le'))


def decode(data):
    """A .reg file's text, its text data as bytes in UTF-16LE whatever the file's encoding."""
    if data.startswith(b'\xff\xfe'):
        # A lone surrogate is text too; half a unit at the end, a broken store, is left out.
        return data[2:len(data) - len(data) % 2].decode('utf-16-le', 'surrogatepass')
    text = data.removeprefix(b'\xef\xbb\xbf').decode('utf-8', 'surrogateescape')
    return TEXT_HEX.sub(utf16_text_hex, text)


def fold(name):
    """The name as the registry compares it, as far as cases need: ASCII letters in upper case.
    Python's own upper case would merge names the registry keeps apart ('ı' and 'I')."""
    return name.translate(ASCII_UPPER)


def unquote(text):
    """The quoted string text starts with, unescaped, and what follows it."""
    quoted = re.match(r'"((?:[^"\\]|\\.)*)"', text, re.S)
    escapes = {'n': '\n', 'r': '\r', '0': '\0'}
    return re.sub(r'\\(.)', lambda m: escapes.get(m[1], m[1]), quoted[1], flags=re.S), \
        text[quoted.end():]


def value_of(data):
    """Comparable (type, data): text as text, numbers as numbers, whichever way written."""
    if data.startswith('"'):
        return 1, unquote(data)[0]
    if data.lower().startswith('dword:'):
        return 4, int(data[6:], 16)
    match = re.fullmatch(r'hex(?:\(([0-9a-fA-F]+)\))?:([0-9a-fA-F,\s]*)', data)
    kind = int(match.group(1) or '3', 16)
    raw = bytes(int(b, 16) for b in match.group(2).replace(' ', '').split(',') if b)
    if kind in (1, 2) and len(raw) % 2 == 0:
        return kind, raw.decode('utf-16-le', 'surrogatepass').removesuffix('\0')
    return (4, int.from_bytes(raw, 'little')) if kind == 4 and len(raw) == 4 else (kind, raw)


def parse_reg(text):
    """{KEY PATH IN UPPER CASE: (path, {NAME: (name, type, data)})}, parents implied."""
    keys, values, lines = {}, None, text.replace('\r\n', '\n').split('\n')[1:]
    while lines:
        line = lines.pop(0).strip()
        while line.endswith('\\') and line[:1] in '"@' and lines:
            line = line[:-1] + lines.pop(0).strip()
        while line.startswith('[') and not line.endswith(']') and lines:
            line += '\n' + lines.pop(0).rstrip()  # a key name with a line break, as Wine writes it
        try:
            if line.startswith('[-'):
                path = fold(line[2:-1].split('\\', 1)[1])
                keys = {k: v for k, v in keys.items() if k != path and not k.startswith(path + '\\')}
            elif line.startswith('['):
                parts = line[1:-1].split('\\')[1:]
                for depth in range(1, len(parts) + 1):
                    keys.setdefault(fold('\\'.join(parts[:depth])), ('\\'.join(parts[:depth]), {}))
                values = keys[fold('\\'.join(parts))][1]
            elif line and not line.startswith(';'):
                name, rest = ('', line[1:]) if line.startswith('@') else unquote(line)
                values[fold(name)] = (name,) + value_of(rest[1:])
        except (AttributeError, IndexError, TypeError, ValueError):
            raise Failed(f'cannot read this .reg line: {line[:80]}')
    return keys


def owned(*texts):
    """The keys SOFTWARE\\<name> (Classes excepted) that these .reg texts name."""
    found = {fold(m): m for text in texts
             for m in re.findall(r'^\[-?' + ROOT + r'\\(SOFTWARE\\[^\\\]]+)', text, re.M | re.I)}
    return sorted(v for k, v in found.items() if k != 'SOFTWARE\\CLASSES')


def entries(keys, roots):
    """The keys and values under the roots, one comparable line each."""
    lines = []
    for key, (path, values) in keys.items():
        if any(key == fold(r) or key.startswith(fold(r) + '\\') for r in roots):
            lines.append(f'[{path}]')
            lines += [f'[{path}] {n!r} = {t}:{d!r}' for n, t, d in values.values()]
    return sorted(lines, key=fold)


def diff(expected, actual):
    lines = list(difflib.unified_diff(expected, actual, n=1, lineterm=''))[3:15]
    return ':\n    ' + '\n    '.join(lines)


def compare(what, pattern, actual):
    """pattern: the expected bytes, {*} standing for any characters but a line end."""
    if actual is None:
        raise Failed(f'no {what}')
    regex = b'[^\r\n]*'.join(re.escape(part) for part in pattern.split(b'{*}'))
    if not re.fullmatch(regex, actual, re.S):
        split = lambda b: [repr(line) for line in b.split(b'\n')]
        raise Failed(f'{what} differs' + diff(split(pattern), split(actual)))


def read(path):
    return path.read_bytes() if path.is_file() else None


class Runner:
    """Runs one case's program, natively or, with wine given, under Wine."""

    def __init__(self, program, wine=None):
        self.program, self.wine = program, wine
        self.build = 'windows' if wine else 'native'
        self.preview = program.stem == 'RegistryUpdatePreview'
        self.component = program.parent / 'tests/windows/product_info_server.dll'
        self.env = dict(os.environ, WINEDEBUG='-all,err+winediag')

    def run(self, command, cwd):
        command = (self.wine or []) + command
        try:
            done = subprocess.run(command, cwd=cwd, env=self.env, stdin=subprocess.DEVNULL,
                                  capture_output=True, timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            raise Failed(f'{command[:3]} did not end within {TIMEOUT} s')
        return done.returncode, done.stderr, done.stdout

    def windows_path(self, path):
        return 'Z:' + str(path).replace('/', '\\') if self.wine else str(path)

    def prepare(self, folder, before, roots):
        if not self.wine:
            if before and not os.path.lexists(folder / 'HKEY_LOCAL_MACHINE.reg'):
                (folder / 'HKEY_LOCAL_MACHINE.reg').write_bytes(before)
            return
        text = decode(before or b'\n').replace('\r\n', '\n').split('\n', 1)[1]
        dll = self.windows_path(self.component).replace('\\', '\\\\')
        text = ''.join(f'[-{ROOT}\\{key}]\n' for key in roots + [COMPONENT]) + text + (
            f'\n[{ROOT}\\SOFTWARE\\Classes\\CLSID\\{CLASS_ID}\\InprocServer32]\n@="{dll}"\n'
            f'"ThreadingModel"="Apartment"\n')
        if re.search(re.escape(f'\n[{ROOT}\\{COMPONENT}]'), text, re.I):
            text += f'\n[{ROOT}\\{COMPONENT}\\CLSID]\n@="{CLASS_ID}"\n'
        # Without a byte-order mark the import would read the text in the ANSI code page.
        text = 'Windows Registry Editor Version 5.00\n\n' + text
        (folder.parent / 'case.reg').write_bytes(
            b'\xff\xfe' + text.replace('\n', '\r\n').encode('utf-16-le', 'surrogatepass'))
        # Setting up, not the run under test: an import that fails once under a loaded Wine is
        # tried again, and the first failure is still shown. reg says why on standard output.
        for attempt in range(2):
            status, errors, output = self.run(['reg', 'import', 'case.reg'], folder.parent)
            if not status:
                return
            print(f'reg import failed with {status}: {(output + errors)[-300:]!r}', flush=True)
        raise Failed('reg import failed twice')

    def registry(self, folder, roots):
        if not self.wine:
            store = read(folder / 'HKEY_LOCAL_MACHINE.reg')
            return parse_reg(decode(store)) if store else {}
        keys, exported = {}, folder.parent / 'export.reg'
        for key in roots:
            # A key that is not there fails its export; a loaded Wine may fail one once.
            for attempt in range(2):
                command = ['reg', 'export', f'{ROOT}\\{key}', exported.name, '/y']
                if not self.run(command, folder.parent)[0]:
                    break
            if exported.is_file():
                keys.update(parse_reg(decode(exported.read_bytes())))
                exported.unlink()
        return keys


def compare_registry(expected_reg, keys, roots):
    if expected_reg is None:
        return
    if not owned(decode(expected_reg)):  # unreadable, or it would compare nothing
        raise Failed('expected.reg names no key SOFTWARE\\<name> for the case to own')
    want, got = entries(parse_reg(decode(expected_reg)), roots), entries(keys, roots)
    if want != got:
        raise Failed('registry differs' + diff(want, got))


def preview_declared(case):
    """What the case's file "preview" declares: "native" or "skip", and why; else None."""
    declared = read(case / 'preview')
    return declared.decode().split('\n', 1) if declared is not None else None


def product_texts(case, before):
    """The texts the product component of the registry before would answer, as a preview's
    arguments; Skipped names why a case has none."""
    declared = preview_declared(case)
    if declared and declared[0].strip() == 'skip':
        raise Skipped(declared[1].strip())
    for reason, what in (('args', 'its arguments are a command line of the program'),
                         ('folder', "it stages the program's folder"),
                         ('after', "it checks files in the program's folder"),
                         ('only', None)):
        if (case / reason).exists() and not (reason == 'only' and declared):
            why = what or read(case / 'only').decode().split('\n', 1)[1].strip()
            raise Skipped(f'{reason}: {why}')
    component = parse_reg(decode(before)).get(fold(COMPONENT)) if before.strip() else None
    if not component:
        raise Skipped('no product component: the preview takes the product from its command line')
    names = ('Manufacturer', 'ProductName', 'ProductVersion')
    texts = [component[1].get(fold(name)) for name in names]
    if not all(text and text[1] == 1 and text[2].isprintable() for text in texts):
        raise Skipped('a product property that is not plain text, which no command line carries')
    return [text[2] for text in texts]


def run_preview(case, runner, scratch, before, expected, roots):
    texts = product_texts(case, before)
    paths = [scratch / 'meters.xml', scratch / 'before.reg', scratch / 'after.reg']
    if (case / 'meters.xml').is_file():
        shutil.copy2(case / 'meters.xml', paths[0])
    paths[1].write_bytes(before)
    document, before_reg, after_reg = (runner.windows_path(path) for path in paths)
    # The cases about notes fail on them; every other case shows that notes alone leave 0.
    strict = ['--strict'] if case.parent.name == 'notes' else []
    command = [str(runner.program), document] + texts + ['--registry', before_reg, '--output',
                                                         after_reg] + strict
    status, errors, output = runner.run(command, scratch)
    # A preview always prints its log's first line: one that printed nothing never ran, which a
    # loaded Wine does once in a while. It is tried once more, and the first failure is shown.
    if runner.wine and status and not output:
        print(f'the preview did not start ({status}): {errors[-300:]!r}', flush=True)
        status, errors, output = runner.run(command, scratch)
    # The log is printed after a line that counts its lines; the notes come last.
    count, _, printed = output.partition(b'\r\n')
    lines = printed.split(b'\r\n')[:int(re.sub(rb'\D', b'', count) or b'0')]
    log, expected_log = b''.join(line + b'\r\n' for line in lines), expected('expected.log')
    notes = b''.join(line + b'\n' for line in printed.split(b'\r\n') if line.startswith(b'note: '))
    if status != (1 if lines or (strict and notes) else 0):
        raise Failed(f'exit status {status}: {(output + errors)[-300:]!r}')
    compare('log', expected_log or b'', log)
    compare('notes', expected('expected.notes') or b'', notes)
    compare_registry(expected('expected.reg'), parse_reg(decode(read(paths[2]))), roots)


def run_case(case, runner, scratch):
    declared = preview_declared(case) if runner.preview else None
    build = declared[0].strip() if declared else runner.build

    def expected(name):  # the build's own file where the case says the builds differ
        own = case / name.replace('.', f'.{build}.')
        return read(own if (case / 'differs').is_file() and own.is_file() else case / name)

    # Most cases start from the standard product registration beside this script.
    own = case / 'before.reg'
    before = read(own if own.is_file() else HERE / 'before.reg')
    expected_reg = expected('expected.reg')
    roots = owned(*(decode(text) for text in (before, expected_reg) if text is not None))
    if runner.preview:
        return run_preview(case, runner, scratch, before, expected, roots)

    # A blank in the program's folder, as under "Program Files", where the program is installed.
    folder, elsewhere = scratch / 'program files', scratch / 'elsewhere'
    if (case / 'folder').is_dir():
        shutil.copytree(case / 'folder', folder, symlinks=True)
    folder.mkdir(exist_ok=True)
    elsewhere.mkdir()
    shutil.copy2(runner.program, folder)
    if (case / 'meters.xml').is_file():
        shutil.copy2(case / 'meters.xml', folder)
    runner.prepare(folder, before, roots)

    program = [str(folder / runner.program.name)]
    if (case / 'args').is_file():
        status, errors, output = runner.run(program + (case / 'args').read_text().splitlines(), folder)
    else:
        # From another folder, which must stay empty: the program writes beside itself only.
        document = runner.windows_path(folder / 'meters.xml')
        status, errors, output = runner.run(program + [document], elsewhere)
        if any(elsewhere.iterdir()):
            raise Failed(f'wrote into the working folder: {os.listdir(elsewhere)}')
    if status:
        raise Failed(f'exit status {status}: {(output + errors)[-300:]!r}')
    if output:
        raise Failed(f'wrote to its standard output: {output[:300]!r}')
    # Without an expected log, nothing may be logged: the log is empty, or there is none.
    log, expected_log = read(folder / 'registryErrorLog.txt'), expected('expected.log')
    if log is not None or expected_log is not None:
        compare('log', expected_log or b'', log)
    if not runner.wine and expected('expected.stderr') is not None:
        compare('standard error', expected('expected.stderr'), errors)
    if expected_reg is not None:
        compare_registry(expected_reg, runner.registry(folder, roots), roots)
    for path in sorted((case / 'after').rglob('*')):
        if path.is_file():
            name = path.relative_to(case / 'after')
            compare(f'after/{name}', path.read_bytes(), read(folder / name))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument('program', type=Path, help='RegistryUpdate or RegistryUpdate.exe, or a '
                        'preview: RegistryUpdatePreview or RegistryUpdatePreview.exe')
    parser.add_argument('cases', nargs='*', type=Path,
                        help='case folders, or CONCERN/NAME beside this script (default: every case)')
    parser.add_argument('--wine', default=str(HERE.parents[1] / 'scripts' / 'wine-run.sh'),
                        help='the command that runs a Windows program, split as a shell splits '
                        'words (default: scripts/wine-run.sh; for the 64-bit build add --win64)')
    parser.add_argument('--keep', action='store_true', help="keep failed cases' scratch folders")
    options = parser.parse_args()
    # A failure may quote a lone surrogate from a registry name; it must not end the run.
    sys.stdout.reconfigure(errors='backslashreplace')
    program = options.program.resolve()
    runner = Runner(program, shlex.split(options.wine) if program.suffix.lower() == '.exe' else None)

    counts = {'passed': 0, 'failed': 0, 'skipped': 0}
    for case in options.cases or sorted(p for p in HERE.glob('*/*') if p.is_dir()):
        case = (case if case.is_dir() else HERE / case).resolve()
        if not case.is_dir():
            parser.error(f'no such case: {case}')
        name = case.relative_to(HERE) if case.is_relative_to(HERE) else case.name
        only = read(case / 'only')
        if only is not None and only.split(b'\n')[0].strip().decode() != runner.build \
                and not runner.preview:
            counts['skipped'] += 1
            continue
        scratch = Path(tempfile.mkdtemp(prefix='case-'))
        try:
            run_case(case, runner, scratch)
            print(f'ok {name}', flush=True)
            counts['passed'] += 1
        except Skipped as reason:
            print(f'skip {name}: {reason}', flush=True)
            counts['skipped'] += 1
        except Failed as failure:
            kept = f' (kept in {scratch})' if options.keep else ''
            print(f'FAIL {name}: {failure}{kept}', flush=True)
            counts['failed'] += 1
            if options.keep:
                continue
        shutil.rmtree(scratch, ignore_errors=True)
    print('{passed} passed, {failed} failed'.format(**counts) +
          (', {skipped} skipped'.format(**counts) if counts['skipped'] else ''))
    if counts['failed'] or not counts['passed'] + counts['skipped']:
        return 1
    return 0 if counts['passed'] else SKIPPED


if __name__ == '__main__':
    sys.exit(main())
