#pragma once

#include <QString>

#include <array>
#include <cstdint>

// The benchmark text and items, built the same way as in v8_regexp.js so that the two runs
// can be compared item by item.
namespace RegExpBench {

// Which text an item runs over: the mixed text of buildText, where most patterns match far apart;
// one typical line repeated (buildDense), where they match every few dozen characters; or one
// long line of letters (buildLine), where each start position scans to the end of the line
// before it fails.
enum class Text { Mixed, Dense, Line };

struct Item {
    const char *name;
    const char16_t *pattern;
    const char16_t *replacement;
    Text text = Text::Mixed;
};

// One item per kind of pattern; "never" and "neverdigit" match nowhere, "absentword" neither, and
// "never" is compared with a plain scan. The dense items are the same kinds on the typical line.
inline const std::array<Item, 29> kItems = {{
    {"dates", u"(\\d{4})-(\\d{2})-(\\d{2})", u"$1.$2.$3"},
    {"spaces", u" +", u""},
    {"brackets", u"「([^」]*)」", u"『$1』"},
    {"word", u"\\bfoo\\b", u"bar"},
    {"literal", u"foo", u"bar"},
    {"absentword", u"\\buser\\b", u"x"},
    {"words|", u"foo|bar|baz|qux", u"<$&>"},
    {"classfirst", u"[0-9]{3,}", u"#"},
    {"dotstar", u".*foo.*", u"[$&]"},
    {"anchored", u"^\\s*(\\d{4})", u"$1"},
    {"many", u"\\w+", u"w"},
    {"kana", u"[ぁ-ん]", u""},
    {"never", u"zqx", u"!"},
    {"neverdigit", u"xyz\\d+", u"!"},
    {"dense dates", u"(\\d{4})-(\\d{2})-(\\d{2})", u"$1.$2.$3", Text::Dense},
    {"dense spaces", u" +", u"", Text::Dense},
    {"dense quotes", u"「([^」]*)」", u"『$1』", Text::Dense},
    {"dense word", u"\\buser\\b", u"member", Text::Dense},
    {"dense literal", u"user", u"member", Text::Dense},
    {"dense words|", u"user|said|left", u"<$&>", Text::Dense},
    {"dense dotstar", u".*user.*", u"[$&]", Text::Dense},
    {"dense lines", u"\\r\\n", u"\n", Text::Dense},
    {"dense many", u"\\w+", u"w", Text::Dense},
    {"dense kana", u"[ぁ-ん]", u"", Text::Dense},
    {"dense never", u"zqx", u"!", Text::Dense},
    {"alt*line", u"(?:a|b)*[cd]", u"x", Text::Line},
    {"backref", u"(\\w+)\\s*=\\s*\\1!", u"x", Text::Line},
    {"class*line", u"[a-z]*[0-9]", u"x", Text::Line},
    {"dot*line", u".*\\d", u"x", Text::Line},
}};

// One line of 40,000 letters, a and b alternating, then " = e!" and a digit on the next line:
// every character the line items need is there, so none is ruled out before it runs, but none
// matches in the long line (the class and .* items match the digit at the very end).
inline QString buildLine()
{
    return QStringLiteral("ab").repeated(20'000) + QStringLiteral(" = e!\n1");
}

// A typical line of a log or a chat, repeated: two matches of \buser\b and of the date and time
// patterns in every line, and the rest of the kinds as often.
inline QString buildDense(qsizetype minimumLength)
{
    const QString line = QStringLiteral("2024-01-05 the user said 「こんにちは」 to another user at 10:30   and left.\r\n");
    return line.repeated((minimumLength + line.size() - 1) / line.size());
}

// Mixed Japanese and ASCII lines with CR LF, dates, quotes and runs of spaces, from a fixed
// linear congruential sequence.
inline QString buildText(qsizetype minimumLength)
{
    std::uint32_t state = 12345;
    auto next = [&state](std::uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % range;
    };
    auto two = [](std::uint32_t n) { return QString::number(n).rightJustified(2, u'0'); };
    QString text;
    text.reserve(minimumLength + 64);
    while (text.size() < minimumLength) {
        const QString date = QStringLiteral("%1-%2-%3").arg(1990 + next(40)).arg(two(1 + next(12))).arg(two(1 + next(28)));
        switch (next(5)) {
        case 0: text += date + QStringLiteral(" の会議で「議題%1」を確認しました。\r\n").arg(next(100)); break;
        case 1: text += QStringLiteral("foo bar  baz   foo.qux foobar food %1\r\n").arg(next(1000)); break;
        case 2: text += QStringLiteral("東京　大阪  「こんにちは」と言った foo　%1\r\n").arg(date); break;
        case 3: text += QStringLiteral("    indented    text with   spaces   \r\n"); break;
        default: text += QStringLiteral("カタカナとひらがなと漢字の行です。番号%1、\r\n").arg(next(100000)); break;
        }
    }
    return text;
}

}
