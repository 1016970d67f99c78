#!/usr/bin/env python3
"""Writes the two letter-case tables, checked in so that a build needs no Unicode data and a table
changes only when regenerated on purpose, from Unicode's UnicodeData.txt and SpecialCasing.txt
(Debian's unicode-data package):
- src/text/upper_case_table.inc, the registry's upper case: each UTF-16 code unit's simple
  upper-case mapping, kept only where it leads back (the upper-case letter's simple lower-case
  mapping is the letter itself). That rule gives exactly the table Wine's registry and CharUpperW
  use (its l_intl.nls), which leaves 'ı', 'ſ', 'ς', 'µ', 'ǅ' and the like as they are.
- src/pattern/case_table.inc, how a pattern ignores letter case as ECMAScript does: for every
  character below U+10000 whose form is another, its upper case when that is one character, unless
  it would turn a character beyond ASCII into an ASCII one.
Characters beyond U+FFFF are two units and have no mapping in either.
Usage: make-case-tables.py [UNICODE_FOLDER]   (default /usr/share/unicode), from the source tree"""
import re
import sys
from pathlib import Path

folder = Path(sys.argv[1] if len(sys.argv) > 1 else '/usr/share/unicode')
# UnicodeData.txt names no version; the case folding file beside it does.
version = re.search(r'-([0-9.]+)\.txt', (folder / 'CaseFolding.txt').open().readline())
origin = (f'by scripts/make-case-tables.py from Unicode '
          f'{version.group(1) if version else "(version unknown)"}; do not edit.')
simple_upper, simple_lower = {}, {}
for line in (folder / 'UnicodeData.txt').open(encoding='utf-8'):
    fields = line.split(';')
    code = int(fields[0], 16)
    if fields[12]:
        simple_upper[code] = int(fields[12], 16)
    if fields[13]:
        simple_lower[code] = int(fields[13], 16)
full_upper = {code: [up] for code, up in simple_upper.items()}
for line in (folder / 'SpecialCasing.txt').open(encoding='utf-8'):
    fields = [field.strip() for field in line.split('#')[0].split(';')]
    if len(fields) == 5 and not fields[4]:  # unconditional: no language or context
        full_upper[int(fields[0], 16)] = [int(code, 16) for code in fields[3].split()]


def write(path, heading, pairs):
    rows = (' '.join(f'{{0x{code:04X}, 0x{up:04X}}},' for code, up in pairs[start:start + 6])
            for start in range(0, len(pairs), 6))
    Path(path).write_text(f'// Generated {origin}\n// {heading}\n// clang-format off\n' +
                          '\n'.join(rows) + '\n// clang-format on\n', encoding='utf-8')


write('src/text/upper_case_table.inc', '{code unit, its upper case}, for every unit that has one.',
      sorted((code, up) for code, up in simple_upper.items()
             if code <= 0xFFFF and up <= 0xFFFF and simple_lower.get(up) == code))
write('src/pattern/case_table.inc', '{character, its canonical form}, where that is another.',
      [(code, up[0]) for code, up in sorted(full_upper.items())
       if code < 0x10000 and len(up) == 1 and up[0] < 0x10000 and up[0] != code
       and not (code >= 0x80 and up[0] < 0x80)])
