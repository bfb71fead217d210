#!/usr/bin/env node
// The items of bench_regexp.cpp in node (V8): the same 10 M-character text, built the same
// way, each item's best time of several runs. Prints JSON: [{name, ms, length}].
'use strict';

const items = [
  { name: 'dates', pattern: String.raw`(\d{4})-(\d{2})-(\d{2})`, replacement: '$1.$2.$3' },
  { name: 'spaces', pattern: ' +', replacement: '' },
  { name: 'brackets', pattern: '「([^」]*)」', replacement: '『$1』' },
  { name: 'word', pattern: String.raw`\bfoo\b`, replacement: 'bar' },
];

function buildText(minimumLength) {
  let state = 12345;
  const next = (range) => {
    state = (Math.imul(state, 1664525) + 1013904223) >>> 0;
    return (state >>> 8) % range;
  };
  const two = (n) => String(n).padStart(2, '0');
  const parts = [];
  let length = 0;
  while (length < minimumLength) {
    const year = 1990 + next(40);
    const month = two(1 + next(12));
    const day = two(1 + next(28));
    const date = `${year}-${month}-${day}`;
    let line;
    switch (next(5)) {
      case 0: line = `${date} の会議で「議題${next(100)}」を確認しました。\r\n`; break;
      case 1: line = `foo bar  baz   foo.qux foobar food ${next(1000)}\r\n`; break;
      case 2: line = `東京　大阪  「こんにちは」と言った foo　${date}\r\n`; break;
      case 3: line = '    indented    text with   spaces   \r\n'; break;
      default: line = `カタカナとひらがなと漢字の行です。番号${next(100000)}、\r\n`; break;
    }
    parts.push(line);
    length += line.length;
  }
  return parts.join('');
}

const runs = Number(process.argv[2] || 7);
const text = buildText(10 * 1000 * 1000);
const results = items.map(({ name, pattern, replacement }) => {
  const re = new RegExp(pattern, 'g');
  let best = Infinity;
  let result = text.replace(re, replacement);
  for (let i = 0; i < runs; i++) {
    const start = process.hrtime.bigint();
    result = text.replace(re, replacement);
    // Flatten the result so a lazily built string is paid for, as our QString is.
    result.charCodeAt(result.length >> 1);
    best = Math.min(best, Number(process.hrtime.bigint() - start) / 1e6);
  }
  return { name, ms: best, length: result.length };
});
console.log(JSON.stringify(results));
