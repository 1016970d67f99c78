#!/usr/bin/env python3
"""Times the pattern engine alone on hostile patterns (exponential alternations, thousands of
dots or word boundaries, classes of 2,490 characters, back-references, deep nesting) against
names of up to 4,000 letters, one process per pair, the process's own start-up taken off, and
prints the slowest pairs and the answers, which must be the same on both builds.

    bench/hostile_patterns.py build/native/tests/pattern_check
    bench/hostile_patterns.py scripts/wine-run.sh --win64 build/windows64/tests/pattern_check.exe
"""
import collections
import hashlib
import subprocess
import sys
import time

CORES = ['(A|A)*', '(A|AA)*', '(A+)+', '(A*)*', '((A+)+)+', '(A|A?)+', '(?:A?){30}A{30}',
         '(A+)+C|A*', '(.*A){20}', '(A|B|AB)*', '(?:A|[AB])*', '(\\w|A)*', '(?:(?:A*)*)*',
         '(A?){40}A{40}']
CLASS = ''.join(chr(0x100 + i) for i in range(2488))
PATTERNS = [p for core in CORES for p in (core + 'B', '^' + core + '$')] + [
    '.' * 9999 + 'B', '\\b' * 5000, '(?:\\b.)' * 1666, '\\B' * 5000, '.' * 5000 + '.*' * 2000,
    '[' + CLASS + ']+B', '[^' + CLASS + ']*B', '(?:[' + CLASS + ']|A)+B',
    '[A' + CLASS + ']*[' + CLASS + 'A]*B', '(A*)(A*)(A*)\\1\\2\\3B', '(A*)\\1*B', '^(A+)\\1+$',
    '(A*)(A*)\\2\\1\\2\\1B', '^(?:(A*)\\1)*B', '((A*)\\2)*B', '(A*)+\\1B', '(?=(A*))\\1B',
    '(?=' * 100 + 'A' + ')' * 100 + 'B', '(?!' * 100 + 'B' + ')' * 100 + 'C']
NAMES = ['A' * 4000, 'A' * 3999 + 'C', 'AB' * 2000, 'A' * 1000]


def encoded(text):  # as pattern_check reads it: never empty
    return 'x' + text.encode('utf-8').hex()


def seconds(command, text):
    start = time.perf_counter()
    done = subprocess.run(command, input=text.encode(), capture_output=True, check=True)
    return time.perf_counter() - start, done.stdout.decode().strip()


def main():
    command = ['bash', '-c', 'ulimit -s 2048 && exec "$@"', '-'] + sys.argv[1:]
    start_up = min(seconds(command, '')[0] for _ in range(5))
    results, answers = [], []
    for pattern in PATTERNS:
        for name in NAMES:
            took, answer = seconds(command, f'{encoded(pattern)} {encoded(name)}\n')
            results.append((took - start_up, pattern[:40], len(name), answer[:40]))
            answers.append(answer)
    for took, pattern, length, answer in sorted(results, reverse=True)[:5]:
        print(f'{took:6.3f} s  {pattern!r}… against {length} letters: {answer}')
    kinds = collections.Counter(answer.split(' ')[0] if answer.startswith('invalid') else answer
                                for answer in answers)
    digest = hashlib.sha256('\n'.join(answers).encode()).hexdigest()[:12]
    print(f'{len(PATTERNS)} patterns x {len(NAMES)} names: {dict(sorted(kinds.items()))}, '
          f'answers {digest}')


if __name__ == '__main__':
    main()
