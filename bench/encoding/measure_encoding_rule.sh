#!/usr/bin/env bash
# Measures the encoding rule on every Japanese string of the message catalogues installed under
# /usr/share/locale/ja (msgunfmt, from gettext), and on the katakana words of those strings
# written in half-width katakana, and on the strings of the Western catalogues (French, German,
# Spanish, Portuguese, Italian, Polish), which only UTF-8 holds. Needs a build in build/.
# Usage: bench/encoding/measure_encoding_rule.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
cmake --build "$build" --target measure_encoding_rule >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for mo in /usr/share/locale/ja/LC_MESSAGES/*.mo; do
  msgunfmt --no-wrap "$mo" 2>/dev/null || true
done >"$work/catalogues.po"
for lang in fr de es pt pt_BR it pl; do
  for mo in /usr/share/locale/$lang/LC_MESSAGES/*.mo; do
    [ -e "$mo" ] && { msgunfmt --no-wrap "$mo" 2>/dev/null || true; }
  done
done >"$work/western.po"

python3 - "$work" <<'PY'
import re, sys, unicodedata
work = sys.argv[1]
po = open(f'{work}/catalogues.po', encoding='utf-8', errors='replace').read()
texts = set()
for m in re.finditer(r'^msgstr(?:\[\d+\])? "(.*)"$', po, re.M):
    s = m.group(1).replace('\\"', '"').replace('\\t', '\t')
    if any(ord(c) > 0x7F for c in s):
        texts.add(s)
# Full-width katakana to half-width: the reverse of the compatibility mapping, with the voiced
# marks split off.
half = {}
for code in range(0xFF61, 0xFFA0):
    half[unicodedata.normalize('NFKC', chr(code))] = chr(code)
half['\u3099'] = '\uFF9E'
half['\u309A'] = '\uFF9F'
words = set()
for s in texts:
    for word in re.findall(r'[\u30A1-\u30FC]{2,}', s):
        out = ''.join(half.get(c, '\0') for c in unicodedata.normalize('NFD', word))
        if '\0' not in out:
            words.add(out)
with open(f'{work}/messages.txt', 'w', encoding='utf-8') as f:
    for s in sorted(texts):
        f.write(s.replace('\n', '\\n') + '\n')
with open(f'{work}/katakana-words.txt', 'w', encoding='utf-8') as f:
    for w in sorted(words):
        f.write(w + '\n')
western = set()
for m in re.finditer(r'^msgstr(?:\[\d+\])? "(.*)"$', open(f'{work}/western.po', encoding='utf-8', errors='replace').read(), re.M):
    s = m.group(1).replace('\\"', '"').replace('\\t', '\t')
    if any(ord(c) > 0x7F for c in s):
        western.add(s)
with open(f'{work}/western.txt', 'w', encoding='utf-8') as f:
    for s in sorted(western):
        f.write(s.replace('\n', '\\n') + '\n')
print(f'{len(western)} Western strings with non-ASCII letters')
print(f'{len(texts)} Japanese strings, {len(words)} half-width katakana words from '
      f'{po.count(chr(10) + "msgid ")} catalogue entries')
PY
"$build/bench/encoding/measure_encoding_rule" "$work/messages.txt" "$work/katakana-words.txt" "$work/western.txt"
