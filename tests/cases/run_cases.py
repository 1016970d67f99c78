#!/usr/bin/env python3
"""Runs behaviour cases (see README.md beside this file) against one built program.

The Linux program finds its registry in HKEY_LOCAL_MACHINE.reg beside it. A program whose name
ends in .exe runs under Wine: each case's keys are imported into Wine's registry before the run
and exported after it.
"""
import argparse
import difflib
import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = 'HKEY_LOCAL_MACHINE'
COMPONENT_KEY = 'SOFTWARE\\Classes\\ProductInfo.ProductInfo'
COMPONENT_CLASS = '{6A0D3C52-8E4B-4F71-9C1D-2B7E5A90F3C4}'


class Failed(Exception):
    pass


# ---- .reg text -------------------------------------------------------------------------------

def decode(data):
    if data.startswith(b'\xff\xfe'):
        return data[2:].decode('utf-16-le')
    if data.startswith(b'\xef\xbb\xbf'):
        data = data[3:]
    return data.decode('utf-8', 'surrogateescape')


def unquote(text):
    """The quoted string at the start of text, unescaped, and what follows it."""
    out, i = [], 1
    while i < len(text) and text[i] != '"':
        if text[i] == '\\' and i + 1 < len(text):
            i += 1
            out.append({'n': '\n', 'r': '\r', '0': '\0'}.get(text[i], text[i]))
        else:
            out.append(text[i])
        i += 1
    if i >= len(text):
        raise ValueError('unterminated string')
    return ''.join(out), text[i + 1:]


def value_of(data):
    """A value's data as a comparable (type, data): text as text, numbers as numbers."""
    if data.startswith('"'):
        text, rest = unquote(data)
        if rest.strip():
            raise ValueError('text after a string')
        return 1, text
    if data.lower().startswith('dword:'):
        return 4, int(data[6:], 16)
    match = re.fullmatch(r'hex(?:\(([0-9a-fA-F]+)\))?:([0-9a-fA-F,\s]*)', data)
    if not match:
        raise ValueError('unrecognised data')
    kind = int(match.group(1) or '3', 16)
    raw = bytes(int(b, 16) for b in match.group(2).replace(' ', '').split(',') if b)
    if kind in (1, 2) and len(raw) % 2 == 0:
        text = raw.decode('utf-16-le', 'surrogatepass')
        return kind, text[:-1] if text.endswith('\0') else text
    if kind == 4 and len(raw) == 4:
        return 4, int.from_bytes(raw, 'little')
    return kind, raw


def parse_reg(text):
    """{KEY PATH: (path, {NAME: (name, type, data)})}; parents implied; [-key] maps to None."""
    keys, current = {}, None
    lines = text.replace('\r\n', '\n').split('\n')
    number = 0
    while number < len(lines):
        line = lines[number].strip()
        while line.endswith('\\') and not line.startswith(('[', ';')) and number + 1 < len(lines):
            number += 1
            line = line[:-1] + lines[number].strip()
        while line.startswith('[') and not line.endswith(']') and number + 1 < len(lines):
            number += 1  # a key name holding a line break, as Wine exports it
            line += '\n' + lines[number].rstrip()
        number += 1
        if not line or line.startswith(';') or number == 1:
            continue
        try:
            if line.startswith('[-'):
                path = line[2:-1].split('\\', 1)[1]
                for key in [k for k in keys if k == path.upper() or k.startswith(path.upper() + '\\')]:
                    keys[key] = None
                keys.setdefault(path.upper(), None)
                current = None
            elif line.startswith('['):
                path = line[1:-1].split('\\', 1)[1]
                parts = path.split('\\')
                for depth in range(1, len(parts) + 1):
                    parent = '\\'.join(parts[:depth])
                    if keys.get(parent.upper()) is None:
                        keys[parent.upper()] = (parent, {})
                current = keys[path.upper()][1]
            elif current is None:
                raise ValueError('a value outside a key')
            else:
                name, rest = ('', line[1:]) if line.startswith('@') else unquote(line)
                if not rest.startswith('='):
                    raise ValueError('no "=" after the name')
                if rest[1:] == '-':
                    current.pop(name.upper(), None)
                else:
                    current[name.upper()] = (name,) + value_of(rest[1:])
        except (ValueError, IndexError) as error:
            raise Failed(f'line {number}: {error}: {line[:80]}')
    return keys


def owned_roots(*texts):
    """The keys SOFTWARE\\<name> (Classes excepted) that these .reg texts name."""
    roots = set()
    for text in texts:
        for match in re.finditer(r'^\[-?' + ROOT + r'\\(SOFTWARE\\[^\\\]]+)', text, re.M | re.I):
            if match.group(1).upper() != 'SOFTWARE\\CLASSES':
                roots.add(match.group(1))
    return sorted(roots, key=str.upper)


def entries(keys, roots):
    """The keys and values under the roots, one comparable line each."""
    upper = [r.upper() for r in roots]
    lines = []
    for key, found in keys.items():
        if found is None or not any(key == r or key.startswith(r + '\\') for r in upper):
            continue
        lines.append(f'[{found[0]}]')
        for name, kind, data in sorted(found[1].values(), key=lambda v: v[0].upper()):
            lines.append(f'[{found[0]}] {name!r} = {kind}:{data!r}')
    return sorted(lines, key=str.upper)


# ---- comparing -------------------------------------------------------------------------------

def short_diff(expected, actual):
    diff = list(difflib.unified_diff(expected, actual, 'expected', 'actual', n=1, lineterm=''))
    return '\n    '.join(diff[2:14] + (['...'] if len(diff) > 14 else []))


def matches(pattern, text):
    """Whether text is pattern's bytes, {*} standing for any characters but a line end."""
    parts = [re.escape(p) for p in pattern.split(b'{*}')]
    return re.fullmatch(b'[^\r\n]*'.join(parts), text, re.S) is not None


def compare_text(what, pattern, actual):
    if pattern is None:
        if actual is not None:
            raise Failed(f'{what} exists: {actual[:200]!r}')
    elif actual is None:
        raise Failed(f'no {what}')
    elif not matches(pattern, actual):
        lines = lambda b: [repr(line) for line in b.split(b'\n')]
        raise Failed(f'{what} differs:\n    ' + short_diff(lines(pattern), lines(actual)))


def read(path):
    return path.read_bytes() if path.is_file() else None


# ---- one build -------------------------------------------------------------------------------

class Build:
    def __init__(self, program, timeout):
        self.program, self.timeout = program, timeout

    def run(self, command, cwd, env=None):
        try:
            done = subprocess.run(command, cwd=cwd, stdin=subprocess.DEVNULL, capture_output=True,
                                  timeout=self.timeout, env=env)
        except subprocess.TimeoutExpired:
            raise Failed(f'{Path(command[0]).name} did not end within {self.timeout} s')
        return done.returncode, done.stderr


class Native(Build):
    name = 'native'

    def prepare(self, folder, before, roots):
        store = folder / 'HKEY_LOCAL_MACHINE.reg'
        if before is not None and not os.path.lexists(store):
            store.write_bytes(before)

    def arguments(self, document):
        return [str(document)]

    def start(self, folder, arguments, cwd):
        return self.run([str(folder / self.program.name)] + arguments, cwd)

    def registry(self, folder, roots):
        store = folder / 'HKEY_LOCAL_MACHINE.reg'
        return parse_reg(decode(store.read_bytes())) if store.is_file() else {}


class Windows(Build):
    name = 'windows'

    def __init__(self, program, timeout, wine, component):
        super().__init__(program, timeout)
        self.wine, self.component = wine, component
        self.env = dict(os.environ, WINEDEBUG='-all,err+winediag')

    def windows_path(self, path):
        return 'Z:' + str(path).replace('/', '\\')

    def wine_run(self, command, cwd):
        status, errors = self.run([self.wine] + command, cwd, self.env)
        if status != 0:
            raise Failed(f'{" ".join(command[:2])} failed: {errors.decode(errors="replace")[-300:]}')

    def prepare(self, folder, before, roots):
        text = ['Windows Registry Editor Version 5.00', '']
        text += [f'[-{ROOT}\\{key}]\n' for key in roots + [COMPONENT_KEY]]
        if before is not None:
            text.append(decode(before).replace('\r\n', '\n').split('\n', 1)[-1])
        dll = self.windows_path(self.component).replace('\\', '\\\\')
        text.append(f'\n[{ROOT}\\SOFTWARE\\Classes\\CLSID\\{COMPONENT_CLASS}\\InprocServer32]\n'
                    f'@="{dll}"\n"ThreadingModel"="Apartment"\n')
        if before is not None and re.search(re.escape(COMPONENT_KEY) + r'\]', decode(before), re.I):
            text.append(f'[{ROOT}\\{COMPONENT_KEY}\\CLSID]\n@="{COMPONENT_CLASS}"\n')
        # Without a byte-order mark the import would read the text in the ANSI code page.
        imported = '\n'.join(text).replace('\n', '\r\n').encode('utf-16-le', 'surrogatepass')
        (folder.parent / 'case.reg').write_bytes(b'\xff\xfe' + imported)
        self.wine_run(['reg', 'import', 'case.reg'], folder.parent)

    def arguments(self, document):
        return [self.windows_path(document)]

    def start(self, folder, arguments, cwd):
        status, _ = self.run([self.wine, str(folder / self.program.name)] + arguments, cwd,
                             self.env)
        return status, None  # what Wine says on standard error is its own

    def registry(self, folder, roots):
        keys = {}
        for index, key in enumerate(roots):
            exported = folder.parent / f'export{index}.reg'
            self.run([self.wine, 'reg', 'export', f'{ROOT}\\{key}', exported.name, '/y'],
                     folder.parent, self.env)
            if exported.is_file():
                keys.update(parse_reg(decode(exported.read_bytes())))
        return keys


def expected_file(case, build, name):
    """The case's file of this name, or the build's own when the case says the builds differ."""
    stem, dot, suffix = name.partition('.')
    own = case / f'{stem}.{build.name}.{suffix}'
    return own if (case / 'differs').is_file() and own.is_file() else case / name


def run_case(case, build, scratch):
    folder = scratch / 'program'  # the program's own folder
    elsewhere = scratch / 'elsewhere'
    elsewhere.mkdir()
    if (case / 'folder').is_dir():
        shutil.copytree(case / 'folder', folder, symlinks=True)
    folder.mkdir(exist_ok=True)
    shutil.copy2(build.program, folder / build.program.name)
    if (case / 'meters.xml').is_file():
        shutil.copy2(case / 'meters.xml', folder / 'meters.xml')
    expected_reg = read(expected_file(case, build, 'expected.reg'))
    before = read(case / 'before.reg')
    roots = owned_roots(*(decode(t) for t in (before, expected_reg) if t is not None))
    build.prepare(folder, before, roots)

    if (case / 'args').is_file():
        arguments = (case / 'args').read_text('utf-8').splitlines()
        status, errors = build.start(folder, arguments, folder)
    else:
        # From another folder, so that nothing the program writes may land in the working folder.
        status, errors = build.start(folder, build.arguments(folder / 'meters.xml'), elsewhere)
    if status != 0:
        raise Failed(f'exit status {status}: {(errors or b"")[-300:]!r}')
    if list(elsewhere.iterdir()):
        raise Failed(f'wrote into the working folder: {[p.name for p in elsewhere.iterdir()]}')

    compare_text('log', read(expected_file(case, build, 'expected.log')),
                 read(folder / 'registryErrorLog.txt'))
    stderr = read(expected_file(case, build, 'expected.stderr'))
    if stderr is not None and errors is not None:
        compare_text('standard error', stderr, errors)
    if expected_reg is not None:
        want = entries(parse_reg(decode(expected_reg)), roots)
        got = entries(build.registry(folder, roots), roots)
        if want != got:
            raise Failed('registry differs:\n    ' + short_diff(want, got))
    after = case / 'after'
    for path in sorted(after.rglob('*')) if after.is_dir() else []:
        if path.is_file():
            compare_text(f'after/{path.relative_to(after)}', path.read_bytes(),
                         read(folder / path.relative_to(after)))


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('program', type=Path, help='RegistryUpdate, or RegistryUpdate.exe')
    parser.add_argument('cases', nargs='*', type=Path,
                        help='case folders to run (default: every folder beside this script)')
    parser.add_argument('--wine', default=str(HERE.parents[1] / 'scripts' / 'wine-run.sh'),
                        help='what runs a Windows command (default: scripts/wine-run.sh)')
    parser.add_argument('--component', type=Path,
                        help='the test COM server DLL (default: beside the .exe under '
                             'tests/windows/product_info_server.dll)')
    parser.add_argument('--timeout', type=float, default=60, help='seconds a run may take')
    parser.add_argument('--keep', action='store_true', help="keep failed cases' scratch folders")
    options = parser.parse_args()
    program = options.program.resolve()
    if program.suffix.lower() == '.exe':
        component = options.component or program.parent / 'tests/windows/product_info_server.dll'
        build = Windows(program, options.timeout, options.wine, component.resolve())
    else:
        build = Native(program, options.timeout)
    cases = options.cases or sorted(p for p in HERE.iterdir() if p.is_dir())

    passed = failed = skipped = 0
    for case in cases:
        case = case if case.is_dir() else HERE / case
        only = case / 'only'
        if only.is_file() and only.read_text().split('\n', 1)[0].strip() != build.name:
            skipped += 1
            continue
        scratch = Path(tempfile.mkdtemp(prefix='case-'))
        keep = False
        try:
            run_case(case, build, scratch)
            print(f'ok {case.name}')
            passed += 1
        except Failed as failure:
            keep = options.keep
            print(f'FAIL {case.name}: {failure}' + (f' [kept in {scratch}]' if keep else ''))
            failed += 1
        finally:
            if not keep:
                shutil.rmtree(scratch, ignore_errors=True)
        sys.stdout.flush()
    print(f'{passed} passed, {failed} failed' + (f', {skipped} skipped' if skipped else ''))
    return 1 if failed or not passed + skipped else 0


if __name__ == '__main__':
    sys.exit(main())
