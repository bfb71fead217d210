#!/usr/bin/env node
// Computes the expected results of the cases in cases.js with node's own RegExp (V8) and writes
// them to tests/regexp/data/regexp_conformance.json for tst_regexp_conformance, so the tests
// do not need node. Run it again after changing the cases:
//   node tests/regexp/conformance/generate.js
'use strict';

const fs = require('fs');
const path = require('path');
const cases = require('./cases.js');

const hasLoneSurrogate = (s) => /[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(?<![\uD800-\uDBFF])[\uDC00-\uDFFF]/.test(s);

const rows = cases.map(([pattern, replacement, text, options = {}], index) => {
  const flags = options.flags ?? 'g';
  const row = { pattern, replacement, text, flags };
  try {
    row.expected = text.replace(new RegExp(pattern, flags), replacement);
  } catch (e) {
    if (!(e instanceof SyntaxError)) throw e;
    row.invalid = true;
  }
  if (options.difference) row.difference = options.difference;
  for (const field of ['pattern', 'replacement', 'text', 'expected']) {
    // Qt's JSON reader turns a lone surrogate into U+FFFD; such rows are written as code units.
    if (typeof row[field] === 'string' && hasLoneSurrogate(row[field])) {
      const s = row[field];
      row[field + 'Units'] = Array.from({ length: s.length }, (_, i) => s.charCodeAt(i));
      delete row[field];
    }
  }
  return row;
});

const out = path.join(__dirname, '..', 'data', 'regexp_conformance.json');
fs.writeFileSync(out, JSON.stringify(rows, null, 1) + '\n');
console.log(`${rows.length} rows written to ${path.relative(process.cwd(), out)}`);
