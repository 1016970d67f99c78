// Compares the pattern engine with Node's RegExp, the reference: random ES3 patterns from fixed
// seeds and the corner cases beside this file, against product names, each pair upper-cased
// here once and the same text given to both. It fails on any disagreement that the README's
// list of differences from ECMAScript does not explain, on any example in that list that no
// longer shows its difference, and on any corner case whose answer, where it gives one, differs.
//   node differential.js README BUILD(Linux|Windows) PROGRAM [EMULATOR...]
'use strict';
const fs = require('fs');
const path = require('path');
const { execFileSync } = require('child_process');

const [readmePath, build, ...command] = process.argv.slice(2);
const RANDOM_PATTERNS = 2500;
const NAMES_PER_PATTERN = 4;

// Patterns and names reach the engine upper-cased, as the program upper-cases them.
const upper = (text) => text.toUpperCase();

// The differences, from the README's table, each recognised here by its first column.
const repeatedCapture = (c) => /\\[1-9]/.test(c.pattern) && /\)[*+{]/.test(c.pattern);
const recognisers = {
  'Lookbehind and named groups': (c) => /\(\?</.test(c.pattern),
  'U+FEFF is not white space': (c) => c.name.includes('\uFEFF'),
  'U+180E is white space': (c) => c.name.includes('\u180E'),
  'Characters beyond U+FFFF': (c) => build === 'Linux' && /[\uD800-\uDFFF]/.test(c.pattern + c.name),
  'Length': (c) => /longer than/.test(c.ours),
  'Nesting': (c) => /nested deeper/.test(c.ours),
  'Repeat count': (c) => /repeat count above/.test(c.ours),
  'Matcher steps': (c) => /too complex|more memory/.test(c.ours),
  'Upper-casing': () => false,
  'Captures of an earlier round': repeatedCapture,
  'An empty round': repeatedCapture,
  'An empty round made by an assertion': (c) =>
    /\)[*+{]/.test(c.pattern) && /\\B|\(\?[=!]|\^|\$/.test(c.pattern),
  // The reference's letters beyond Unicode 15, where its version is later.
  'Letter case as Unicode 15': (c) => /[\u019B\u0264\u1C8A\uA7CB-\uA7DC]/.test(c.pattern + c.name),
};

function cell(text) {
  // `text` spans, each optionally "× N" times, or a character's U+XXXX.
  const unicode = /^U\+([0-9A-F]{4,6})$/.exec(text);
  if (unicode) return String.fromCodePoint(parseInt(unicode[1], 16));
  let out = '';
  for (const [, span, times] of text.matchAll(/`([^`]*)`(?:\s*×\s*(\d+))?/g))
    out += span.repeat(times ? Number(times) : 1);
  return out;
}

function differences() {
  const readme = fs.readFileSync(readmePath, 'utf8');
  const table = readme.split('<!-- differences -->')[1].split('\n\n')[0];
  return table.split('\n').filter((line) => /^\| \*\*/.test(line)).map((line) => {
    const cells = line.replace(/\\\|/g, '\u0000').split('|').slice(1, -1)
      .map((c) => c.trim().replace(/\u0000/g, '|'));
    const title = cells[0].replace(/\*\*(.*?)\*\*.*/, '$1');
    if (!recognisers[title]) throw new Error(`no recogniser for the difference "${title}"`);
    return { title, pattern: cell(cells[1]), name: cell(cells[2]), reference: cells[3],
             ours: cells[4], builds: cells[5], recognises: recognisers[title], seen: 0 };
  });
}

// A small, seeded generator (mulberry32): the same patterns on every run and build.
function random(seed) {
  return () => {
    seed = (seed + 0x6D2B79F5) | 0;
    let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

const LETTERS = [...'AaBbZz09_ -.\'<>`ÀàÄäÿŸ×÷ΜµÎîΣσςſıKß\u00A0\u2028\n€'];
const SPECIAL = [...'^$\\.*+?()[]{}|/'];
const ESCAPES = ['\\d', '\\D', '\\w', '\\W', '\\s', '\\S', '\\b', '\\x41', '\\xE0', '\\u00C0',
  '\\u03BC', '\\0', '\\7', '\\12', '\\101', '\\340', '\\74', '\\47', '\\140', '\\<', '\\>',
  "\\'", '\\`', '\\-', '\\]', '\\n', '\\t', '\\cJ', '\\8', '\\k', '\\Q', '\\B', '\\/'];

function generator(next) {
  const pick = (list) => list[Math.floor(next() * list.length)];
  const chance = (p) => next() < p;
  const letter = () => pick(LETTERS);
  const classMember = () => {
    if (chance(0.2)) return pick(ESCAPES);
    const [a, b] = [letter(), letter()].sort();
    return chance(0.4) ? `${a}-${b}` : a.replace(/[\]\\^-]/, '\\$&');
  };
  const quantifier = () => pick(['*', '+', '?', '{2}', '{1,}', '{0,2}', '{1,3}']) +
    (chance(0.2) ? '?' : '');
  const atom = (depth) => {
    const r = next();
    if (r < 0.45) return letter().replace(/[\\^$.*+?()[\]{}|]/, '\\$&');
    if (r < 0.55) return '.';
    if (r < 0.65) return `[${chance(0.3) ? '^' : ''}${classMember()}${chance(0.5) ? classMember() : ''}]`;
    if (r < 0.75) return pick(ESCAPES);
    if (r < 0.82) return `\\${1 + Math.floor(next() * 3)}`;
    if (depth > 2) return letter().replace(/[\\^$.*+?()[\]{}|]/, '\\$&');
    return `(${pick(['', '', '?:', '?=', '?!'])}${disjunction(depth + 1)})`;
  };
  const term = (depth) => {
    if (chance(0.08)) return pick(['^', '$', '\\b', '\\B']);
    if (chance(0.01)) return pick(SPECIAL);
    const a = atom(depth);
    return chance(0.3) ? a + quantifier() : a;
  };
  const alternative = (depth) =>
    Array.from({ length: Math.floor(next() * 4) + (depth ? 0 : 1) }, () => term(depth)).join('');
  const disjunction = (depth) => {
    const parts = [alternative(depth)];
    while (chance(0.2)) parts.push(alternative(depth));
    return parts.join('|');
  };
  // Names drawn mostly from the pattern's own letters, so that many of them match.
  const name = (pattern) => {
    const own = [...pattern].filter((c) => !SPECIAL.includes(c));
    return Array.from({ length: Math.floor(next() * 6) },
      () => (own.length && chance(0.7) ? pick(own) : letter())).join('');
  };
  return { pattern: () => disjunction(0), name };
}

function caseList() {
  const cases = [];
  const text = fs.readFileSync(path.join(__dirname, 'corner_cases.txt'), 'utf8');
  const corners = text.split('\n').filter((line) => line && !line.startsWith('#'))
    .map((line) => JSON.parse(line));
  for (const [pattern, name, expected] of corners) cases.push({ pattern, name, expected, corner: true });
  for (let seed = 1; seed <= 5; ++seed) {
    const next = random(seed);
    const generate = generator(next);
    for (let i = 0; i < RANDOM_PATTERNS / 5; ++i) {
      const pattern = generate.pattern();
      for (let j = 0; j < NAMES_PER_PATTERN; ++j) cases.push({ pattern, name: generate.name(pattern) });
    }
  }
  return cases;
}

function reference(pattern, name) {
  let expression;
  try {
    expression = new RegExp(pattern, 'i');
  } catch (error) {
    return 'invalid';
  }
  return expression.test(name) ? 'match' : 'no match';
}

function engine(cases) {
  const hex = (text) => 'x' + Buffer.from(text, 'utf8').toString('hex');
  const input = cases.map((c) => `${hex(c.pattern)} ${hex(c.name)}\n`).join('');
  const output = execFileSync(command[0], command.slice(1), { input, maxBuffer: 1 << 28 });
  return output.toString('utf8').split(/\r?\n/).slice(0, cases.length);
}

function main() {
  const list = differences();
  const cases = caseList().map((c) => ({ ...c, pattern: upper(c.pattern), name: upper(c.name) }));
  const examples = list.filter((d) => (d.builds === 'both' || d.builds === build) &&
    !(d.title === 'Letter case as Unicode 15' && process.versions.unicode.startsWith('15.')));
  const all = cases.concat(examples.map((d) => ({ pattern: d.pattern, name: d.name })));
  const answers = engine(all);
  let failures = 0;
  examples.forEach((d, i) => {
    const ours = answers[cases.length + i].replace(/^invalid.*/, 'invalid');
    const theirs = reference(d.pattern, d.name);
    if (ours !== d.ours || theirs !== d.reference) {
      console.log(`FAIL the example of "${d.title}" gives ${ours} here, ${theirs} in the reference`);
      ++failures;
    }
  });
  let unexplained = 0;
  cases.forEach((c, i) => {
    c.ours = answers[i];
    if (c.expected && c.ours !== c.expected && !c.ours.endsWith(`": ${c.expected}`)) {
      console.log(`FAIL ${JSON.stringify([c.pattern, c.name])}: ${c.ours} here, not ${c.expected}`);
      ++failures;
    }
    const ours = c.ours.startsWith('invalid') ? 'invalid' : c.ours;
    const theirs = reference(c.pattern, c.name);
    if (ours === theirs) return;
    const known = list.find((d) => d.recognises(c));
    if (known) return ++known.seen;
    ++unexplained;
    console.log(`FAIL ${JSON.stringify([c.pattern, c.name])}: ${c.ours} here, ${theirs} in the reference`);
  });
  const corners = cases.filter((c) => c.corner).length;
  console.log(`${cases.length - corners} random pairs (${RANDOM_PATTERNS} patterns), ` +
    `${corners} corner cases, ${unexplained} unexplained disagreements`);
  for (const d of list) if (d.seen) console.log(`  explained by "${d.title}": ${d.seen}`);
  console.log(`${all.length - unexplained - failures} passed, ${unexplained + failures} failed`);
  process.exitCode = unexplained + failures ? 1 : 0;
}

main();
