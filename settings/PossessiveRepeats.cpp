#include "settings/PossessiveRepeats.h"

#include "settings/CodePointRanges.h"
#include "xml/TextHelpers.h"

#include <algorithm>
#include <optional>

namespace {

using CharacterSet = std::vector<CodePointRange>;

const CharacterSet kDigits = {{u'0', u'9'}};
const CharacterSet kWordCharacters = {{u'0', u'9'}, {u'A', u'Z'}, {u'_', u'_'}, {u'a', u'z'}};

// \w and the characters that IgnoreCase may take for an ASCII letter (İ ı ſ and the Kelvin
// sign): characters and ranges meant to stay apart from \w must also stay apart from these.
const CharacterSet kWordAndCaseMates = {{u'0', u'9'}, {u'A', u'Z'}, {u'_', u'_'}, {u'a', u'z'},
                                        {0x130, 0x131}, {0x17F, 0x17F}, {0x212A, 0x212A}};

bool Intersect(const CharacterSet &a, const CharacterSet &b)
{
    for (const CodePointRange &x : a)
        for (const CodePointRange &y : b)
            if (x.first <= y.last && y.first <= x.last)
                return true;
    return false;
}

// One piece of a translated pattern.
struct Token {
    enum class Kind { Item, Quantifier, Open, Close, Alternative, End, WordBoundary, Other };
    Kind kind = Kind::Other;
    qsizetype start = 0;
    qsizetype end = 0;
    // Item: the characters it matches, when known, and whether IgnoreCase widens them (it
    // widens characters and ranges, not \w, \d, \W and \D).
    std::optional<CharacterSet> set;
    bool caseless = true;
    // Quantifier: its lower bound, and whether it is greedy (neither lazy nor possessive).
    quint32 min = 0;
    bool greedy = true;
    // Open: a capturing or non-capturing group rather than a lookaround or branch reset.
    bool plainGroup = false;
    // Close: its Open; Alternative: the Close of the group it divides (none at the top level).
    qsizetype partner = -1;
};

// Cuts a translated pattern into tokens; nothing when it holds a form the translator does not
// write, so that the rewrite never guesses.
class Tokenizer {
public:
    explicit Tokenizer(const QString &pattern) : m_text(pattern) {}

    std::optional<std::vector<Token>> run()
    {
        std::vector<qsizetype> openGroups;
        std::vector<std::vector<qsizetype>> alternatives(1);
        while (m_pos < m_text.size()) {
            Token token;
            token.start = m_pos;
            if (!next(token))
                return std::nullopt;
            token.end = m_pos;
            const auto index = qsizetype(m_tokens.size());
            if (token.kind == Token::Kind::Open) {
                openGroups.push_back(index);
                alternatives.emplace_back();
            } else if (token.kind == Token::Kind::Close) {
                if (openGroups.empty())
                    return std::nullopt;
                token.partner = openGroups.back();
                openGroups.pop_back();
                for (const qsizetype alternative : alternatives.back())
                    m_tokens[size_t(alternative)].partner = index;
                alternatives.pop_back();
            } else if (token.kind == Token::Kind::Alternative) {
                alternatives.back().push_back(index);
            }
            m_tokens.push_back(std::move(token));
        }
        if (!openGroups.empty())
            return std::nullopt;
        return std::move(m_tokens);
    }

private:
    const QString &m_text;
    qsizetype m_pos = 0;
    std::vector<Token> m_tokens;

    QChar at(qsizetype i) const { return i < m_text.size() ? m_text.at(i) : QChar(); }
    bool startsWith(QStringView prefix) const { return QStringView(m_text).sliced(m_pos).startsWith(prefix); }

    bool next(Token &token)
    {
        const QChar c = m_text.at(m_pos);
        switch (c.unicode()) {
        case u'(':
            return group(token);
        case u')':
            token.kind = Token::Kind::Close;
            ++m_pos;
            return true;
        case u'|':
            token.kind = Token::Kind::Alternative;
            ++m_pos;
            return true;
        case u'*':
        case u'+':
        case u'?':
        case u'{':
            return quantifier(token);
        case u'[':
            token.kind = Token::Kind::Item;
            return characterClass(token);
        case u'\\':
            return escape(token);
        case u'^':
            token.kind = Token::Kind::Other;
            ++m_pos;
            return true;
        case u'$':
            token.kind = Token::Kind::End;
            ++m_pos;
            return true;
        case u'.':
            token.kind = Token::Kind::Item;
            ++m_pos;
            return true;
        default: {
            token.kind = Token::Kind::Item;
            char32_t code = c.unicode();
            ++m_pos;
            if (c.isHighSurrogate() && at(m_pos).isLowSurrogate())
                code = QChar::surrogateToUcs4(c, m_text.at(m_pos++));
            token.set = CharacterSet{{code, code}};
            return true;
        }
        }
    }

    bool group(Token &token)
    {
        token.kind = Token::Kind::Open;
        if (at(m_pos + 1) != u'?') {
            token.plainGroup = true;
            ++m_pos;
            return true;
        }
        for (const QStringView opener : {u"(?:", u"(?=", u"(?!", u"(?<=", u"(?<!", u"(?|"}) {
            if (startsWith(opener)) {
                token.plainGroup = opener == u"(?:";
                m_pos += opener.size();
                return true;
            }
        }
        return false;
    }

    // A decimal number at m_pos; false when there is none.
    bool number(quint32 *value)
    {
        const qsizetype first = m_pos;
        quint64 v = 0;
        while (at(m_pos) >= u'0' && at(m_pos) <= u'9') {
            v = std::min<quint64>(v * 10 + (m_text.at(m_pos).unicode() - u'0'), 0xFFFFFFFFu);
            ++m_pos;
        }
        *value = quint32(v);
        return m_pos > first;
    }

    bool quantifier(Token &token)
    {
        token.kind = Token::Kind::Quantifier;
        const QChar c = m_text.at(m_pos++);
        token.min = c == u'+' ? 1 : 0;
        if (c == u'{') {
            quint32 max = 0;
            if (!number(&token.min))
                return false;
            if (at(m_pos) == u',') {
                ++m_pos;
                number(&max);
            }
            if (at(m_pos) != u'}')
                return false;
            ++m_pos;
        }
        if (at(m_pos) == u'?' || at(m_pos) == u'+') {
            token.greedy = false;
            ++m_pos;
        }
        return true;
    }

    // \x{h} at m_pos.
    bool hexEscape(char32_t *code)
    {
        if (!startsWith(u"\\x{"))
            return false;
        m_pos += 3;
        quint32 value = 0;
        qsizetype digits = 0;
        while (digits < 8 && HexDigitValue(at(m_pos)) >= 0) {
            value = value * 16 + quint32(HexDigitValue(m_text.at(m_pos++)));
            ++digits;
        }
        if (digits == 0 || at(m_pos) != u'}' || value > kLastCodePoint)
            return false;
        ++m_pos;
        *code = value;
        return true;
    }

    // \w \d \W \D at m_pos.
    bool setEscape(CharacterSet *set)
    {
        const QChar letter = at(m_pos + 1);
        if (at(m_pos) != u'\\' || !QStringView(u"wdWD").contains(letter))
            return false;
        const CharacterSet &base = letter.toLower() == u'w' ? kWordCharacters : kDigits;
        *set = letter.isUpper() ? ComplementRanges(base) : base;
        m_pos += 2;
        return true;
    }

    // [...] or [^...] with the members the translator writes: \w \d \W \D, \x{h} and ranges of them.
    bool characterClass(Token &token)
    {
        ++m_pos;
        const bool negated = at(m_pos) == u'^';
        if (negated)
            ++m_pos;
        CharacterSet members;
        token.caseless = false;
        while (at(m_pos) != u']') {
            CharacterSet escaped;
            char32_t first = 0;
            if (setEscape(&escaped)) {
                members.insert(members.end(), escaped.begin(), escaped.end());
                continue;
            }
            token.caseless = true;
            if (!hexEscape(&first))
                return false;
            char32_t last = first;
            if (at(m_pos) == u'-') {
                ++m_pos;
                if (!hexEscape(&last))
                    return false;
            }
            members.push_back({first, last});
        }
        ++m_pos;
        const CharacterSet merged = MergedRanges(std::move(members));
        token.set = negated ? ComplementRanges(merged) : merged;
        return true;
    }

    bool escape(Token &token)
    {
        token.kind = Token::Kind::Item;
        CharacterSet set;
        char32_t code = 0;
        if (setEscape(&set)) {
            token.set = set;
            token.caseless = false;
            return true;
        }
        if (startsWith(u"\\x{")) {
            if (!hexEscape(&code))
                return false;
            token.set = CharacterSet{{code, code}};
            return true;
        }
        const QChar c = at(m_pos + 1);
        if (c == u'b' || c == u'B') {
            token.kind = c == u'b' ? Token::Kind::WordBoundary : Token::Kind::Other;
            m_pos += 2;
            return true;
        }
        if (c == u'g' && at(m_pos + 2) == u'{') {
            token.kind = Token::Kind::Other;
            m_pos += 3;
            quint32 group = 0;
            if (!number(&group) || at(m_pos) != u'}')
                return false;
            ++m_pos;
            return true;
        }
        if (c.unicode() > 0x20 && c.unicode() < 0x7F && !c.isLetterOrNumber()) {
            token.set = CharacterSet{{c.unicode(), c.unicode()}};
            m_pos += 2;
            return true;
        }
        return false;
    }
};

// Whether what follows the repeat of \w or \d at `after` can only go on from a position where
// the repeat gave back one of its characters: then giving back never leads to a match. Optional
// items of other characters must match empty there; the first required one fails; $ fails
// before such a character, and \b between two of them once the repeat has taken one.
bool GivingBackNeverMatches(const std::vector<Token> &tokens, size_t after, bool word, bool takesOne)
{
    size_t k = after;
    while (k < tokens.size()) {
        const Token &token = tokens[k];
        const bool quantified = k + 1 < tokens.size() && tokens[k + 1].kind == Token::Kind::Quantifier;
        switch (token.kind) {
        case Token::Kind::Item:
            if (!token.set || Intersect(*token.set, word ? (token.caseless ? kWordAndCaseMates : kWordCharacters) : kDigits))
                return false;
            if (!quantified || tokens[k + 1].min > 0)
                return true;
            k += 2;
            break;
        case Token::Kind::Close:
            if (!tokens[size_t(token.partner)].plainGroup || quantified)
                return false;
            ++k;
            break;
        case Token::Kind::Alternative:
            // This alternative ends here: what follows is the group's end.
            k = token.partner < 0 ? tokens.size() : size_t(token.partner);
            break;
        case Token::Kind::End:
            return true;
        case Token::Kind::WordBoundary:
            return takesOne;
        default:
            return false;
        }
    }
    return true;
}

}

void MakeRepeatsPossessive(TranslatedPattern &pattern)
{
    const std::optional<std::vector<Token>> tokens = Tokenizer(pattern.pcrePattern).run();
    if (!tokens)
        return;
    QString text;
    std::vector<qint32> offsets;
    const auto copy = [&](qsizetype from, qsizetype to) {
        text += QStringView(pattern.pcrePattern).sliced(from, to - from);
        offsets.insert(offsets.end(), pattern.originalOffsets.begin() + from, pattern.originalOffsets.begin() + to);
    };
    qsizetype copied = 0;
    for (size_t k = 0; k + 1 < tokens->size(); ++k) {
        const Token &item = (*tokens)[k];
        const Token &repeat = (*tokens)[k + 1];
        const QStringView written = QStringView(pattern.pcrePattern).sliced(item.start, item.end - item.start);
        if (repeat.kind != Token::Kind::Quantifier || !repeat.greedy || (written != u"[\\w]" && written != u"[\\d]"))
            continue;
        if (!GivingBackNeverMatches(*tokens, k + 2, written == u"[\\w]", repeat.min > 0))
            continue;
        copy(copied, item.start);
        copy(item.start + 1, item.start + 3);
        copy(repeat.start, repeat.end);
        text += u'+';
        offsets.push_back(pattern.originalOffsets[size_t(repeat.end - 1)]);
        copied = repeat.end;
    }
    if (copied == 0)
        return;
    copy(copied, pattern.pcrePattern.size());
    offsets.push_back(pattern.originalOffsets.back());
    pattern.pcrePattern = text;
    pattern.originalOffsets = std::move(offsets);
}
