#include "regexp/EcmaPatternTranslator.h"

#include "regexp/CodePointRanges.h"
#include "regexp/EcmaIdentifierTable.h"
#include "regexp/LookbehindWriter.h"
#include "xml/TextHelpers.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <algorithm>
#include <optional>
#include <utility>

// The grammar is ECMAScript's with the web-compatibility rules V8 applies to patterns without
// the u flag: `\1` beyond the group count is an octal escape, `a{` and a lone `]` or `}` are
// literals, unknown escapes stand for the character itself, `\c` without a letter is a
// backslash. Deliberate differences, kept because PCRE2 or the program needs them:
// - A surrogate pair (written directly or as \uD83D\uDE00) is one character, also for `.`,
//   classes and quantifiers. A lone surrogate, in the pattern or in the text, is matched by
//   nothing (PCRE2 reads the text as UTF-16 and skips what is not valid).
// - A lookbehind must have a bounded length and no back references: PCRE2 10.42 needs each of
//   its top-level alternatives to have one fixed length, and the lookbehind is written out in at
//   most 256 such alternatives (WriteLookbehind).
// - Captures inside a repeated group keep their value from an earlier iteration, where
//   ECMAScript clears them at the start of each iteration; and a repeated group may end with an
//   empty iteration, which ECMAScript rejects: (a*)+ on "aa" leaves $1 empty.
// - IgnoreCase uses Unicode case folding, so k also matches the Kelvin sign.
// - A quantifier's lower bound may not exceed 65535; a larger upper bound means "no limit".

namespace {

constexpr quint32 kMaxQuantifier = 65535;

// ECMAScript's WhiteSpace and LineTerminator characters.
constexpr CodePointRange kSpaceRanges[] = {
    {0x09, 0x0D},     {0x20, 0x20},     {0xA0, 0xA0},     {0x1680, 0x1680}, {0x2000, 0x200A},
    {0x2028, 0x2029}, {0x202F, 0x202F}, {0x205F, 0x205F}, {0x3000, 0x3000}, {0xFEFF, 0xFEFF},
};

// ECMAScript's LineTerminator characters, which . does not match.
constexpr CodePointRange kLineTerminatorRanges[] = {{0x0A, 0x0A}, {0x0D, 0x0D}, {0x2028, 0x2029}};

struct Failure {
    int code;
    qsizetype offset;
    QString message; // the translator's own, when PCRE2 has none for the error
};

bool isOctalDigit(QChar c)
{
    return c >= u'0' && c <= u'7';
}
bool isDecimalDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

bool inTable(char32_t c, const EcmaIdentifier::IdentifierRange *begin, const EcmaIdentifier::IdentifierRange *end)
{
    const auto *found = std::upper_bound(
        begin, end, c, [](char32_t value, const EcmaIdentifier::IdentifierRange &r) { return value < r.first; });
    return found != begin && c <= (found - 1)->last;
}

bool isIdentifierStart(char32_t c)
{
    return inTable(c, std::begin(EcmaIdentifier::kIdStart), std::end(EcmaIdentifier::kIdStart));
}

bool isIdentifierPart(char32_t c)
{
    return inTable(c, std::begin(EcmaIdentifier::kIdContinue), std::end(EcmaIdentifier::kIdContinue));
}

QString hexEscape(char32_t c)
{
    return QStringLiteral("\\x{%1}").arg(quint32(c), 0, 16);
}

// One code point as text. Not QString::fromUcs4, which takes a U+FEFF at the start for a byte
// order mark and drops it: a pattern with that character matched the text without it.
QString codePointText(char32_t c)
{
    if (c <= 0xFFFF)
        return QString(QChar(char16_t(c)));
    const QChar pair[] = {QChar(QChar::highSurrogate(c)), QChar(QChar::lowSurrogate(c))};
    return QString(pair, 2);
}

// A class escape that is a whole set (\d, \s, ...) rather than one character.
enum class SetEscape { None, Digit, NotDigit, Word, NotWord, Space, NotSpace };

SetEscape setEscapeFor(QChar c)
{
    switch (c.unicode()) {
    case u'd': return SetEscape::Digit;
    case u'D': return SetEscape::NotDigit;
    case u'w': return SetEscape::Word;
    case u'W': return SetEscape::NotWord;
    case u's': return SetEscape::Space;
    case u'S': return SetEscape::NotSpace;
    default: return SetEscape::None;
    }
}

// One element of a character class as written: a character or a set escape.
struct ClassAtom {
    SetEscape set = SetEscape::None;
    char32_t character = 0;
};

// The members of a character class: ranges plus PCRE2's ASCII \d and \w, which are kept as
// escapes so that caseless matching does not widen them to non-ASCII letters.
struct ClassContents {
    std::vector<CodePointRange> ranges;
    QString escapes;
    // The characters of the escapes.
    std::vector<CodePointRange> escapeRanges;

    void add(char32_t c) { ranges.push_back({c, c}); }

    void add(SetEscape set)
    {
        const auto addEscape = [this](const QString &escape, const std::vector<CodePointRange> &characters) {
            escapes += escape;
            escapeRanges.insert(escapeRanges.end(), characters.begin(), characters.end());
        };
        switch (set) {
        case SetEscape::Digit: addEscape(QStringLiteral("\\d"), {std::begin(kDigitRanges), std::end(kDigitRanges)}); break;
        case SetEscape::NotDigit: addEscape(QStringLiteral("\\D"), ComplementRanges(kDigitRanges)); break;
        case SetEscape::Word: addEscape(QStringLiteral("\\w"), {std::begin(kWordRanges), std::end(kWordRanges)}); break;
        case SetEscape::NotWord: addEscape(QStringLiteral("\\W"), ComplementRanges(kWordRanges)); break;
        case SetEscape::Space: ranges.insert(ranges.end(), std::begin(kSpaceRanges), std::end(kSpaceRanges)); break;
        case SetEscape::NotSpace: {
            const std::vector<CodePointRange> others = ComplementRanges(kSpaceRanges);
            ranges.insert(ranges.end(), others.begin(), others.end());
            break;
        }
        case SetEscape::None: break;
        }
    }

    void add(const ClassAtom &atom)
    {
        if (atom.set == SetEscape::None)
            add(atom.character);
        else
            add(atom.set);
    }

    // The ranges as the class is written: sorted, merged, and without the surrogate block, as
    // PCRE2 in UTF mode refuses surrogate code points in a class, and a valid subject has none
    // outside pairs anyway.
    std::vector<CodePointRange> writtenRanges() const
    {
        std::vector<CodePointRange> written;
        for (const CodePointRange &r : MergedRanges(ranges)) {
            if (r.first < 0xD800 && r.last >= 0xD800)
                written.push_back({r.first, 0xD7FF});
            if (r.last > 0xDFFF && r.first <= 0xDFFF)
                written.push_back({0xE000, r.last});
            if (!isSurrogate(r.first) && (r.first >= 0xE000 || r.last < 0xD800))
                written.push_back(r);
        }
        return written;
    }

    QString toPcre(bool negated) const
    {
        QString body = escapes;
        for (const CodePointRange &r : writtenRanges()) {
            body += hexEscape(r.first);
            if (r.last != r.first)
                body += u'-' + hexEscape(r.last);
        }
        return (negated ? QStringLiteral("[^") : QStringLiteral("[")) + body + u']';
    }

    // The class as an item; IgnoreCase widens its ranges but not its escapes.
    PatternItem item(bool negated) const
    {
        std::vector<CodePointRange> written = writtenRanges();
        PatternItem item;
        item.caseless = !written.empty();
        written.insert(written.end(), escapeRanges.begin(), escapeRanges.end());
        item.set = negated ? ComplementRanges(MergedRanges(written)) : MergedRanges(std::move(written));
        return item;
    }
};

PatternItem CharacterItem(std::vector<CodePointRange> set, bool caseless)
{
    PatternItem item;
    item.set = std::move(set);
    item.caseless = caseless;
    return item;
}

const QString kLookbehindRefusedMessage = QStringLiteral(
    "this program's engine needs a lookbehind of bounded length without back references");

class Translator {
public:
    explicit Translator(const QString &pattern) : m_src(pattern), m_length(pattern.size()) { }

    TranslatedPattern run()
    {
        try {
            scanGroups();
            translate();
        } catch (const Failure &failure) {
            m_out.items.clear();
            m_out.errorCode = failure.code;
            m_out.errorOffset = qint32(failure.offset);
            m_out.errorMessage = failure.message;
        }
        m_out.originalOffsets.push_back(qint32(m_length));
        return std::move(m_out);
    }

private:
    const QString &m_src;
    const qsizetype m_length;
    qsizetype m_pos = 0;
    TranslatedPattern m_out;
    // The outermost open lookbehind as a tree, the groups open in it, and where it begins in the
    // translation and in the pattern.
    PatternNode m_lookbehind;
    std::vector<PatternNode *> m_tree;
    qsizetype m_lookbehindStart = -1;
    qsizetype m_lookbehindOrigin = 0;
    // What the construct being translated tells of itself as an item; the open groups' items
    // and the alternatives of each.
    PatternItem m_item;
    std::vector<qsizetype> m_openItems;
    std::vector<std::vector<qsizetype>> m_alternatives{1};

    [[noreturn]] static void fail(int code, qsizetype offset) { throw Failure{code, offset, QString()}; }

    QChar at(qsizetype i) const { return i < m_length ? m_src.at(i) : QChar(); }

    void put(const QString &text, qsizetype origin)
    {
        m_out.pcrePattern += text;
        m_out.originalOffsets.insert(m_out.originalOffsets.end(), text.size(), qint32(origin));
    }

    // One code point of a group name at `i`: a character, a surrogate pair, or a \u escape
    // (\uXXXX, a pair of them, or \u{X...}) as in patterns with the u flag. Returns the offset
    // after it, or -1 when an escape is malformed.
    qsizetype nameCodePoint(qsizetype i, char32_t *c) const
    {
        const QChar first = m_src.at(i);
        if (first != u'\\') {
            if (first.isHighSurrogate() && at(i + 1).isLowSurrogate()) {
                *c = QChar::surrogateToUcs4(first, m_src.at(i + 1));
                return i + 2;
            }
            *c = first.unicode();
            return i + 1;
        }
        if (at(i + 1) != u'u')
            return -1;
        if (at(i + 2) == u'{') {
            qsizetype k = i + 3;
            quint32 value = 0;
            while (HexDigitValue(at(k)) >= 0 && value <= kLastCodePoint)
                value = value * 16 + quint32(HexDigitValue(at(k++)));
            if (k == i + 3 || at(k) != u'}' || value > kLastCodePoint)
                return -1;
            *c = value;
            return k + 1;
        }
        const int value = hexDigits(i + 2, 4);
        if (value < 0)
            return -1;
        *c = char32_t(value);
        if (QChar::isHighSurrogate(*c) && at(i + 6) == u'\\' && at(i + 7) == u'u') {
            const int low = hexDigits(i + 8, 4);
            if (low >= 0 && QChar::isLowSurrogate(char32_t(low))) {
                *c = QChar::surrogateToUcs4(char16_t(value), char16_t(low));
                return i + 12;
            }
        }
        return i + 6;
    }

    // A group name after "(?<" or "\k<" at `start`, its escapes decoded; returns the offset
    // after the closing '>'. Names are identifiers: Unicode's ID_Start and ID_Continue, plus
    // $ and _, and ZWNJ and ZWJ after the first character.
    qsizetype readGroupName(qsizetype start, QString *name) const
    {
        qsizetype i = start;
        name->clear();
        while (i < m_length && m_src.at(i) != u'>') {
            char32_t c = 0;
            const qsizetype next = nameCodePoint(i, &c);
            if (next < 0)
                fail(PCRE2_ERROR_SUBPATTERN_NAME_EXPECTED, i);
            const bool valid = c == u'$' || c == u'_'
                               || (i == start ? isIdentifierStart(c) : (isIdentifierPart(c) || c == 0x200C || c == 0x200D));
            if (!valid)
                fail(PCRE2_ERROR_SUBPATTERN_NAME_EXPECTED, i);
            name->append(codePointText(c));
            i = next;
        }
        if (i >= m_length)
            fail(PCRE2_ERROR_MISSING_NAME_TERMINATOR, i);
        if (i == start)
            fail(PCRE2_ERROR_SUBPATTERN_NAME_EXPECTED, i);
        return i + 1;
    }

    // Group numbers depend on groups further on (\2 before the second group is a back
    // reference), so count and name them first.
    void scanGroups()
    {
        for (qsizetype i = 0; i < m_length; ++i) {
            const QChar c = m_src.at(i);
            if (c == u'\\') {
                ++i;
            } else if (c == u'[') {
                ++i;
                if (at(i) == u'^')
                    ++i;
                while (i < m_length && m_src.at(i) != u']')
                    i += m_src.at(i) == u'\\' ? 2 : 1;
            } else if (c == u'(') {
                if (at(i + 1) != u'?') {
                    ++m_out.captureCount;
                } else if (at(i + 2) == u'<' && at(i + 3) != u'=' && at(i + 3) != u'!') {
                    ++m_out.captureCount;
                    QString name;
                    const qsizetype end = readGroupName(i + 3, &name);
                    if (m_out.groupNumbers.contains(name))
                        fail(PCRE2_ERROR_DUPLICATE_SUBPATTERN_NAME, i + 3);
                    m_out.groupNumbers.insert(name, m_out.captureCount);
                    i = end - 1;
                }
            }
        }
    }

    void translate()
    {
        std::vector<GroupKind> open;
        while (m_pos < m_length) {
            const qsizetype start = m_pos;
            const qsizetype mark = m_out.pcrePattern.size();
            const QChar c = m_src.at(m_pos);
            switch (c.unicode()) {
            case u'|':
                put(QStringLiteral("|"), start);
                ++m_pos;
                if (!m_tree.empty())
                    m_tree.back()->alternatives.emplace_back();
                else
                    m_alternatives.back().push_back(record(mark, PatternItem::Kind::Alternative));
                break;
            case u'^':
            case u'$':
                put(QString(c), start);
                ++m_pos;
                addAtom(mark, PatternNode::Kind::Atom, 0);
                record(mark, c == u'^' ? PatternItem::Kind::StartAnchor : PatternItem::Kind::EndAnchor);
                break;
            case u'(':
                if (const qsizetype end = singleCharacterAlternatives(m_pos); end > 0) {
                    ClassContents contents;
                    for (qsizetype i = m_pos + 3; i < end; i += 2)
                        contents.add(m_src.at(i).unicode());
                    put(contents.toPcre(false), start);
                    m_item = contents.item(false);
                    m_pos = end + 1;
                    addAtom(mark, PatternNode::Kind::Atom, 1);
                    record(mark, PatternItem::Kind::Character);
                    quantifier();
                    break;
                }
                open.push_back(openGroup());
                if (open.back() == GroupKind::Lookbehind || !m_tree.empty()) {
                    openNode(mark, open.back());
                } else {
                    m_item.group = open.back() == GroupKind::Capture     ? PatternItem::Group::Capture
                                   : open.back() == GroupKind::Lookahead ? PatternItem::Group::Lookahead
                                                                         : PatternItem::Group::NonCapture;
                    m_openItems.push_back(record(mark, PatternItem::Kind::GroupOpen));
                    m_alternatives.emplace_back();
                }
                break;
            case u')': {
                if (open.empty())
                    fail(PCRE2_ERROR_UNMATCHED_CLOSING_PARENTHESIS, start);
                const GroupKind kind = open.back();
                open.pop_back();
                put(QStringLiteral(")"), start);
                ++m_pos;
                if (!m_tree.empty()) {
                    m_tree.pop_back();
                } else {
                    m_item.partner = m_openItems.back();
                    const qsizetype close = record(mark, PatternItem::Kind::GroupClose);
                    for (const qsizetype alternative : m_alternatives.back())
                        m_out.items[size_t(alternative)].partner = close;
                    m_openItems.pop_back();
                    m_alternatives.pop_back();
                }
                if (kind != GroupKind::Lookbehind)
                    quantifier();
                if (m_tree.empty() && m_lookbehindStart >= 0) {
                    const qsizetype lookbehind = m_lookbehindStart;
                    writeLookbehind();
                    record(lookbehind, PatternItem::Kind::Lookbehind);
                }
                break;
            }
            case u'*':
            case u'+':
            case u'?': fail(PCRE2_ERROR_QUANTIFIER_INVALID, start);
            case u'{': {
                quint32 min = 0;
                quint32 max = 0;
                if (interval(m_pos, &min, &max) >= 0)
                    fail(PCRE2_ERROR_QUANTIFIER_INVALID, start);
                put(QStringLiteral("\\{"), start);
                m_item = CharacterItem({{u'{', u'{'}}, true);
                ++m_pos;
                addAtom(mark, PatternNode::Kind::Atom, 1);
                record(mark, PatternItem::Kind::Character);
                quantifier();
                break;
            }
            case u'.':
                put(QStringLiteral("[^\\n\\r\\x{2028}\\x{2029}]"), start);
                m_item = CharacterItem(ComplementRanges(kLineTerminatorRanges), true);
                ++m_pos;
                addAtom(mark, PatternNode::Kind::Atom, 1);
                record(mark, PatternItem::Kind::Character);
                quantifier();
                break;
            case u'[':
                characterClass();
                addAtom(mark, PatternNode::Kind::Atom, 1);
                record(mark, PatternItem::Kind::Character);
                quantifier();
                break;
            case u'\\': {
                const EscapeKind kind = escape();
                addAtom(mark, kind == EscapeKind::BackReference ? PatternNode::Kind::BackReference : PatternNode::Kind::Atom,
                        kind == EscapeKind::Assertion ? 0 : 1);
                record(mark, m_item.kind);
                if (kind != EscapeKind::Assertion)
                    quantifier();
                break;
            }
            default:
                literal(nextCharacter(), start);
                addAtom(mark, PatternNode::Kind::Atom, 1);
                record(mark, PatternItem::Kind::Character);
                quantifier();
                break;
            }
        }
        if (!open.empty())
            fail(PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS, m_length);
    }

    // Outside lookbehinds, which are recorded whole once written out: what was written since mark
    // is an item of this kind, with what m_item says of it. Returns its index.
    qsizetype record(qsizetype mark, PatternItem::Kind kind)
    {
        PatternItem item = std::exchange(m_item, PatternItem());
        if (!m_tree.empty())
            return -1;
        item.kind = kind;
        item.start = mark;
        item.end = m_out.pcrePattern.size();
        m_out.items.push_back(std::move(item));
        return qsizetype(m_out.items.size()) - 1;
    }

    // Inside a lookbehind, the translation of what was just read is also kept as a tree.
    void addAtom(qsizetype mark, PatternNode::Kind kind, qint64 length)
    {
        if (m_tree.empty())
            return;
        PatternNode node;
        node.kind = kind;
        node.text = m_out.pcrePattern.mid(mark);
        node.length = length;
        m_tree.back()->alternatives.back().push_back(std::move(node));
    }

    void openNode(qsizetype mark, GroupKind kind)
    {
        PatternNode *node = nullptr;
        if (m_tree.empty()) {
            m_lookbehind = PatternNode();
            m_lookbehindStart = mark;
            m_lookbehindOrigin = m_out.originalOffsets[mark];
            node = &m_lookbehind;
        } else {
            node = &m_tree.back()->alternatives.back().emplace_back();
        }
        node->kind = PatternNode::Kind::Group;
        node->group = kind;
        node->text = m_out.pcrePattern.mid(mark);
        node->alternatives.emplace_back();
        m_tree.push_back(node);
    }

    // The outermost lookbehind just closed: written out again when PCRE2 needs another form.
    void writeLookbehind()
    {
        QString text;
        try {
            text = WriteLookbehind(m_lookbehind);
        } catch (const LookbehindRefused &) {
            throw Failure{PCRE2_ERROR_LOOKBEHIND_NOT_FIXED_LENGTH, m_lookbehindOrigin, kLookbehindRefusedMessage};
        }
        if (text != QStringView(m_out.pcrePattern).mid(m_lookbehindStart)) {
            m_out.pcrePattern.truncate(m_lookbehindStart);
            m_out.originalOffsets.resize(m_lookbehindStart);
            put(text, m_lookbehindOrigin);
        }
        m_lookbehindStart = -1;
    }

    // (?:a|b|c) at `start`, alternatives of one ordinary character each, means the same as
    // [abc] and is written so: PCRE2 scans a repeated class without backtracking into it and
    // skips start positions that an earlier attempt already ran through, which it does not for a
    // group. (?:a|b)*[cd] over a 40,000-letter line took 3.7 s as a group, 0.02 ms as a class.
    // Returns the offset of the closing parenthesis, or 0 when the group is not of that form.
    qsizetype singleCharacterAlternatives(qsizetype start) const
    {
        if (at(start + 1) != u'?' || at(start + 2) != u':')
            return 0;
        for (qsizetype i = start + 3;; i += 2) {
            const QChar c = at(i);
            if (i >= m_length || c.isSurrogate() || QStringView(u"\\^$.*+?()[]{}|").contains(c))
                return 0;
            if (at(i + 1) == u')')
                return i > start + 3 ? i + 1 : 0;
            if (at(i + 1) != u'|')
                return 0;
        }
    }

    GroupKind openGroup()
    {
        const qsizetype start = m_pos;
        if (at(m_pos + 1) != u'?') {
            put(QStringLiteral("("), start);
            ++m_pos;
            return GroupKind::Capture;
        }
        const QChar kind = at(m_pos + 2);
        if (kind == u':' || kind == u'=' || kind == u'!') {
            put(m_src.mid(m_pos, 3), start);
            m_pos += 3;
            return kind == u':' ? GroupKind::NonCapture : GroupKind::Lookahead;
        }
        if (kind == u'<' && (at(m_pos + 3) == u'=' || at(m_pos + 3) == u'!')) {
            put(m_src.mid(m_pos, 4), start);
            m_pos += 4;
            return GroupKind::Lookbehind;
        }
        if (kind == u'<') {
            QString name;
            m_pos = readGroupName(m_pos + 3, &name);
            put(QStringLiteral("("), start);
            return GroupKind::Capture;
        }
        fail(PCRE2_ERROR_UNRECOGNIZED_AFTER_QUERY_P, m_pos + 2);
    }

    // {n}, {n,} or {n,m} at `start`: returns the offset after it, or -1 when it is not one.
    qsizetype interval(qsizetype start, quint32 *min, quint32 *max) const
    {
        qsizetype i = start + 1;
        auto number = [&](quint32 *value) {
            const qsizetype first = i;
            quint64 v = 0;
            while (i < m_length && isDecimalDigit(m_src.at(i))) {
                v = std::min<quint64>(v * 10 + (m_src.at(i).unicode() - u'0'), 0xFFFFFFFFu);
                ++i;
            }
            *value = quint32(v);
            return i > first;
        };
        if (!number(min))
            return -1;
        *max = *min;
        if (at(i) == u',') {
            ++i;
            if (!number(max))
                *max = UINT32_MAX;
        }
        if (at(i) != u'}')
            return -1;
        return i + 1;
    }

    void quantifier()
    {
        const qsizetype start = m_pos;
        const qsizetype mark = m_out.pcrePattern.size();
        const QChar c = at(m_pos);
        quint32 min = c == u'+' ? 1 : 0;
        quint32 max = c == u'?' ? 1 : UINT32_MAX;
        if (c == u'*' || c == u'+' || c == u'?') {
            put(QString(c), start);
            ++m_pos;
        } else if (c == u'{') {
            const qsizetype end = interval(m_pos, &min, &max);
            if (end < 0)
                return;
            if (max < min)
                fail(PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER, end - 1);
            if (min > kMaxQuantifier)
                fail(PCRE2_ERROR_QUANTIFIER_TOO_BIG, m_pos + 1);
            QString text = QStringLiteral("{%1,").arg(min);
            if (max <= kMaxQuantifier)
                text += QString::number(max);
            else
                max = UINT32_MAX;
            put(text + u'}', start);
            m_pos = end;
        } else {
            return;
        }
        const bool lazy = at(m_pos) == u'?';
        if (lazy) {
            put(QStringLiteral("?"), m_pos);
            ++m_pos;
        }
        if (!m_tree.empty() && !m_tree.back()->alternatives.back().empty()) {
            PatternNode &node = m_tree.back()->alternatives.back().back();
            node.quantifier = m_out.pcrePattern.mid(mark);
            node.min = min;
            node.max = max;
            node.lazy = lazy;
        }
        m_item.min = min;
        m_item.max = max;
        m_item.greedy = !lazy;
        record(mark, PatternItem::Kind::Quantifier);
    }

    // The character at m_pos, a surrogate pair taken whole.
    char32_t nextCharacter()
    {
        const QChar c = m_src.at(m_pos++);
        if (c.isHighSurrogate() && at(m_pos).isLowSurrogate())
            return QChar::surrogateToUcs4(c, m_src.at(m_pos++));
        return c.unicode();
    }

    void literal(char32_t c, qsizetype origin)
    {
        m_item = isSurrogate(c) ? CharacterItem({}, false) : CharacterItem({{c, c}}, true);
        if (isSurrogate(c))
            put(QStringLiteral("[]"), origin);
        else if (c < 0x80 && QChar(char16_t(c)).isLetterOrNumber())
            put(QString(QChar(c)), origin);
        else if (c > 0x20 && c < 0x7F)
            put(QStringLiteral("\\") + QChar(char16_t(c)), origin);
        else if (c < 0x80)
            put(hexEscape(c), origin);
        else
            put(codePointText(c), origin);
    }

    // Legacy octal escape starting at the digit at m_pos: at most three digits, at most \377.
    char32_t octal()
    {
        char32_t value = m_src.at(m_pos++).unicode() - u'0';
        if (isOctalDigit(at(m_pos))) {
            value = value * 8 + (m_src.at(m_pos++).unicode() - u'0');
            if (value < 32 && isOctalDigit(at(m_pos)))
                value = value * 8 + (m_src.at(m_pos++).unicode() - u'0');
        }
        return value;
    }

    int hexDigits(qsizetype start, int count) const
    {
        int value = 0;
        for (int k = 0; k < count; ++k) {
            const int digit = HexDigitValue(at(start + k));
            if (digit < 0)
                return -1;
            value = value * 16 + digit;
        }
        return value;
    }

    // A character escape with m_pos on the backslash, shared by classes and the rest; \c and
    // the decimal escapes differ between the two and are handled by the callers.
    char32_t characterEscape()
    {
        const QChar c = at(m_pos + 1);
        switch (c.unicode()) {
        case u'f': m_pos += 2; return 0x0C;
        case u'n': m_pos += 2; return 0x0A;
        case u'r': m_pos += 2; return 0x0D;
        case u't': m_pos += 2; return 0x09;
        case u'v': m_pos += 2; return 0x0B;
        case u'x': {
            const int value = hexDigits(m_pos + 2, 2);
            if (value < 0)
                break;
            m_pos += 4;
            return char32_t(value);
        }
        case u'u': {
            const int value = hexDigits(m_pos + 2, 4);
            if (value < 0)
                break;
            m_pos += 6;
            if (QChar::isHighSurrogate(char32_t(value)) && at(m_pos) == u'\\' && at(m_pos + 1) == u'u') {
                const int low = hexDigits(m_pos + 2, 4);
                if (low >= 0 && QChar::isLowSurrogate(char32_t(low))) {
                    m_pos += 6;
                    return QChar::surrogateToUcs4(char16_t(value), char16_t(low));
                }
            }
            return char32_t(value);
        }
        default: break;
        }
        ++m_pos;
        return nextCharacter();
    }

    enum class EscapeKind { Assertion, Character, BackReference };

    // An escape outside a class.
    EscapeKind escape()
    {
        const qsizetype start = m_pos;
        if (m_pos + 1 >= m_length)
            fail(PCRE2_ERROR_END_BACKSLASH, m_pos);
        const QChar c = m_src.at(m_pos + 1);
        if (c == u'b' || c == u'B') {
            put(m_src.mid(m_pos, 2), start);
            m_pos += 2;
            m_item.kind = c == u'b' ? PatternItem::Kind::WordBoundary : PatternItem::Kind::NotWordBoundary;
            return EscapeKind::Assertion;
        }
        if (const SetEscape set = setEscapeFor(c); set != SetEscape::None) {
            ClassContents contents;
            contents.add(set);
            // \w, \d, \W and \D stay ASCII under IgnoreCase.
            m_item = contents.item(false);
            if (set == SetEscape::Space || set == SetEscape::NotSpace) {
                put(contents.toPcre(false), start);
            } else if (set == SetEscape::Digit || set == SetEscape::Word) {
                // As a class, so that PCRE2 can compare it with the class \s becomes and make
                // the repeat possessive: (\w+)\s*=\s*\1! over a 40,000-letter line took 3.9 s
                // with \w, 1.0 s with [\w]. MakeRepeatsPossessive turns the repeats it can
                // prove possessive back into the faster \w.
                put(QStringLiteral("[") + m_src.mid(m_pos, 2) + u']', start);
            } else {
                put(m_src.mid(m_pos, 2), start);
            }
            m_pos += 2;
            return EscapeKind::Character;
        }
        if (c >= u'1' && c <= u'9') {
            qsizetype i = m_pos + 1;
            quint32 number = 0;
            while (i < m_length && isDecimalDigit(m_src.at(i)) && number <= kMaxQuantifier)
                number = number * 10 + (m_src.at(i++).unicode() - u'0');
            if (number <= quint32(m_out.captureCount)) {
                put(QStringLiteral("\\g{%1}").arg(number), start);
                m_pos = i;
                m_item.kind = PatternItem::Kind::BackReference;
                return EscapeKind::BackReference;
            }
            if (c == u'8' || c == u'9') {
                m_pos += 2;
                literal(c.unicode(), start);
                return EscapeKind::Character;
            }
        }
        if (isDecimalDigit(c)) {
            ++m_pos;
            literal(octal(), start);
            return EscapeKind::Character;
        }
        if (c == u'k' && !m_out.groupNumbers.isEmpty()) {
            if (at(m_pos + 2) != u'<')
                fail(PCRE2_ERROR_SUBPATTERN_NAME_EXPECTED, m_pos + 2);
            QString name;
            const qsizetype end = readGroupName(m_pos + 3, &name);
            const auto found = m_out.groupNumbers.constFind(name);
            if (found == m_out.groupNumbers.cend())
                fail(PCRE2_ERROR_BAD_SUBPATTERN_REFERENCE, m_pos + 3);
            put(QStringLiteral("\\g{%1}").arg(*found), start);
            m_pos = end;
            m_item.kind = PatternItem::Kind::BackReference;
            return EscapeKind::BackReference;
        }
        if (c == u'c') {
            const QChar letter = at(m_pos + 2);
            if ((letter >= u'a' && letter <= u'z') || (letter >= u'A' && letter <= u'Z')) {
                m_pos += 3;
                literal(letter.unicode() % 32, start);
            } else {
                // Only the backslash is taken; the c is read again as an ordinary character.
                ++m_pos;
                literal(u'\\', start);
            }
            return EscapeKind::Character;
        }
        literal(characterEscape(), start);
        return EscapeKind::Character;
    }

    ClassAtom classAtom()
    {
        if (m_src.at(m_pos) != u'\\')
            return {SetEscape::None, nextCharacter()};
        if (m_pos + 1 >= m_length)
            fail(PCRE2_ERROR_END_BACKSLASH, m_pos);
        const QChar c = m_src.at(m_pos + 1);
        if (const SetEscape set = setEscapeFor(c); set != SetEscape::None) {
            m_pos += 2;
            return {set, 0};
        }
        if (c == u'b') {
            m_pos += 2;
            return {SetEscape::None, 0x08};
        }
        if (c == u'0' && !isDecimalDigit(at(m_pos + 2))) {
            m_pos += 2;
            return {SetEscape::None, 0};
        }
        if (isOctalDigit(c)) {
            ++m_pos;
            return {SetEscape::None, octal()};
        }
        if (c == u'c') {
            const QChar letter = at(m_pos + 2);
            if (letter.isDigit() || letter == u'_' || (letter >= u'a' && letter <= u'z') || (letter >= u'A' && letter <= u'Z')) {
                m_pos += 3;
                return {SetEscape::None, char32_t(letter.unicode() % 32)};
            }
            ++m_pos;
            return {SetEscape::None, u'\\'};
        }
        return {SetEscape::None, characterEscape()};
    }

    void characterClass()
    {
        const qsizetype start = m_pos++;
        const bool negated = at(m_pos) == u'^';
        if (negated)
            ++m_pos;
        ClassContents contents;
        while (m_pos < m_length && m_src.at(m_pos) != u']') {
            const ClassAtom first = classAtom();
            if (at(m_pos) != u'-' || m_pos + 1 >= m_length || m_src.at(m_pos + 1) == u']') {
                contents.add(first);
                continue;
            }
            ++m_pos;
            const ClassAtom last = classAtom();
            if (first.set != SetEscape::None || last.set != SetEscape::None) {
                contents.add(first);
                contents.add(u'-');
                contents.add(last);
            } else if (first.character > last.character) {
                fail(PCRE2_ERROR_CLASS_RANGE_ORDER, m_pos - 1);
            } else {
                contents.ranges.push_back({first.character, last.character});
            }
        }
        if (m_pos >= m_length)
            fail(PCRE2_ERROR_MISSING_SQUARE_BRACKET, m_length);
        ++m_pos;
        put(contents.toPcre(negated), start);
        m_item = contents.item(negated);
    }
};

}

TranslatedPattern TranslateEcmaPattern(const QString &pattern)
{
    return Translator(pattern).run();
}
