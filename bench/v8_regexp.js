#!/usr/bin/env node
// The items of regexp_text.h in node (V8): the same texts, built the same way, each item's best
// time of several runs, as elapsed time and as the process's processor time (which leaves out
// the time other programs on a loaded machine take). Prints JSON: [{name, ms, cpuMs, length}].
'use strict';

// The items are read from regexp_text.h, so that the two lists cannot drift apart.
const header = require('fs').readFileSync(require('path').join(__dirname, 'regexp_text.h'), 'utf8');
const unescape = (s) => s.replace(/\\(.)/g, (_, c) => (c === 'n' ? '\n' : c));
const items = [...header.matchAll(/^\s*\{"([^"]+)", u"((?:[^"\\]|\\.)*)", u"((?:[^"\\]|\\.)*)"(?:, Text::(\w+))?\},$/gm)]
  .map(([, name, pattern, replacement, text]) => ({ name, pattern: unescape(pattern), replacement: unescape(replacement),
                                                    text: (text || 'Mixed').toLowerCase() }));
const denseLine = header.match(/QStringLiteral\("(2024-01-05 [^"]*)"\)/)[1].replace(/\\r\\n$/, '\r\n');

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
const denseLength = 5 * 1000 * 1000;
const texts = {
  mixed: buildText(10 * 1000 * 1000),
  dense: denseLine.repeat(Math.ceil(denseLength / denseLine.length)),
  line: 'ab'.repeat(20000) + ' = e!\n1',
};
const results = items.map(({ name, pattern, replacement, text: kind }) => {
  const text = texts[kind];
  const line = kind === 'line';
  const re = new RegExp(pattern, 'g');
  let best = Infinity;
  let bestCpu = Infinity;
  let result = text.replace(re, replacement);
  // A quadratic item takes seconds; a few runs are enough.
  for (let i = 0; i < (line ? Math.min(runs, 3) : runs); i++) {
    const cpu = process.cpuUsage();
    const start = process.hrtime.bigint();
    result = text.replace(re, replacement);
    // Flatten the result so a lazily built string is paid for, as our QString is.
    result.charCodeAt(result.length >> 1);
    best = Math.min(best, Number(process.hrtime.bigint() - start) / 1e6);
    const used = process.cpuUsage(cpu);
    bestCpu = Math.min(bestCpu, (used.user + used.system) / 1e3);
  }
  return { name, ms: best, cpuMs: bestCpu, length: result.length };
});
console.log(JSON.stringify(results));
