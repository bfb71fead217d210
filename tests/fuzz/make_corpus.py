#!/usr/bin/env python3
"""Builds the seed corpus of the fuzz targets from the example settings file and the regular
expression conformance table, whichever of them exist. Run it again when they change:
    tests/fuzz/make_corpus.py
"""
import json
import pathlib
import shutil

root = pathlib.Path(__file__).resolve().parents[2]
corpus = root / 'tests' / 'fuzz' / 'corpus'
example = root / 'examples' / 'tavrelo.xml'
conformance = root / 'tests' / 'settings' / 'data' / 'regexp_conformance.json'


def utf16(units):
    return b''.join(int(u).to_bytes(2, 'little') for u in units)


def units(row, name):
    """The field's UTF-16 code units: rows with lone surrogates hold code units instead of text."""
    if name + 'Units' in row:
        return row[name + 'Units']
    data = row.get(name, '').encode('utf-16-le')
    return [int.from_bytes(data[i:i + 2], 'little') for i in range(0, len(data), 2)]


def regexp_seeds():
    seeds = [
        (False, '(\\d{4})-(\\d{2})-(\\d{2})', '$1.$2.$3', '2024-01-02'),
        (False, '[ \u3000]+', '', 'a b\u3000c'),
        (False, '\u300c([^\u300d]*)\u300d', '\u300e$1\u300f', '\u300cx\u300d'),
        (False, '(^|\\n)', '$1> ', 'a\nb'),
        (False, '(a+)+$', '$&$$', 'aaaaaaaaaaaaaaaaaaaaaaaaaaaaab'),
        (False, '(?=a)|\\b|[^\\s\\S]*?', '$`$\'', 'ab cd'),
        (False, '(a)|(b)', '[$2$1$02$10]', 'abc'),
        (False, '(', 'x', 'unclosed'),
    ]
    names = ('pattern', 'replacement', 'text')
    for row in json.loads(conformance.read_text(encoding='utf-8')) if conformance.exists() else []:
        if any(n + 'Units' in row for n in names):
            # All three parts as code units, so that the lone surrogates reach the engine.
            seeds.append((True, *(utf16(units(row, n)) for n in names)))
        else:
            seeds.append((False, *(row.get(n, '') for n in names)))
    # A class that a scan matches without PCRE2, beside a surrogate pair.
    seeds.append((False, '[\u3041-\u3093]', '', '\u300c\u3053\u3093\u306b\u3061\u306f\u300d \U0001F600\u3042'))
    # A literal between .* and .*, matched by a scan as well, on lines with each kind of line end.
    seeds.append((False, '.*user.*', '[$&]', 'a user\r\nb\nuser\u2028c user\u2029\U0001F600user'))
    out = []
    for wide, pattern, replacement, text in seeds:
        parts = [p.encode('utf-8') if isinstance(p, str) else p for p in (pattern, replacement, text)]
        if any(b'\0' in p for p in parts[:2]):
            continue
        out.append(bytes([1 if wide else 0]) + parts[0] + b'\0' + parts[1] + b'\0' + parts[2])
    return out


def settings_seeds():
    data = example.read_bytes() if example.exists() else b''
    shift_jis = data.decode('utf-8').encode('cp932', 'replace') if data else b''
    small = ('<ColorSetting><Base>8080</Base><Back> C0D8F0 </Back></ColorSetting>\r\n'
             '<DataSetting><Title>T</Title><Version>TRUE</Version>'
             '<Item1><Name>n</Name><Reg>(\\w+) (\\w+)</Reg><Replace>$2 $1</Replace></Item1>'
             '<Item2><Data>@@@@.@@.@@</Data></Item2><Item3><Reg>(</Reg></Item3>'
             '</DataSetting>').encode('ascii')
    seeds = [data, shift_jis, small,
             small + b'\0\0\0\0\0' + 'first second\r\n\u300cx\u300d'.encode('utf-8'),
             small + b'\0\0\0\0\1' + utf16([0x61, 0x20, 0xD800, 0x62]),
             b'<DataSetting><Item1><Name>\x81\0\xff\xfe</Name><Data>\xef\xbb</Data></Item1></DataSetting>']
    return [s for s in seeds if s]


def color_seeds():
    return [t.encode('utf-8') for t in ('E8F0F8', '204060', '8080', '0', ' 0000C0 ', '\tFFffFF',
                                       'zz12', '-5', '12.7', '\uff11\uff12', '123456789012345678901234')]


def convert_lines_seeds():
    texts = ['get user name', '  item count  \r\nmax value', 'x y\nz w', 'a b\r\n', '\r \n', 'a \u00df \u01c5x']
    seeds = [b'\0' + t.encode('utf-8') for t in texts]
    seeds.append(b'\1' + utf16([0x61, 0x20, 0xDC00, 0x20, 0xD801, 0x0D, 0x0A, 0x20, 0xD801, 0xDC28]))
    return seeds


def xml_seeds():
    pairs = [['Title', 'Palette', 'Base', '404040'],
             ['Item1', '<Name>x</Name>\r\n<Data>a & b</Data>', 'Name', '\u65e5\u672c\u8a9e'],
             ['a', '', 'b', 'line\r\nbreak\nLF', 'myItem', 'top tag'],
             ['\uff76\uff85', '\uff83\uff69'],
             # Half-width katakana whose code page 932 bytes are valid UTF-8 (ﾘｽﾄｱ, ﾏｲﾅｽ, ﾗｼﾞｵ), and
             # "ﾃｩ" beside ASCII letters, which reads back as the UTF-8 "é".
             ['Name', '\uff98\uff7d\uff84\uff71', 'Data', '\uff8f\uff72\uff85\uff7d \uff97\uff7c\uff9e\uff75'],
             ['x', 'caf\uff83\uff69', 'y', 'a \uff83\uff69 b']]
    return ['\0'.join(p).encode('utf-8') for p in pairs]


def write(target, seeds):
    folder = corpus / target
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    for number, seed in enumerate(seeds, 1):
        (folder / f'seed{number:03}').write_bytes(seed)
    print(f'{target}: {len(seeds)} seeds')


write('fuzz_regexp', regexp_seeds())
write('fuzz_settings_file', settings_seeds())
write('fuzz_color', color_seeds())
write('fuzz_convert_lines', convert_lines_seeds())
write('fuzz_xml_roundtrip', xml_seeds())
