#include "regexp/RegExp.h"

#include "base/CancelToken.h"
#include "regexp/BudgetCallout.h"
#include "regexp/ClassPattern.h"
#include "regexp/EcmaPatternTranslator.h"
#include "regexp/LeadingLiteral.h"
#include "regexp/LinePattern.h"
#include "regexp/LiteralPattern.h"
#include "regexp/LiteralReplace.h"
#include "regexp/LiteralSearch.h"
#include "regexp/PcreCompileOptions.h"
#include "regexp/PossessiveRepeats.h"
#include "regexp/ResultWriter.h"

#include <QThreadStorage>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <list>
#include <memory>
#include <new>
#include <optional>

RegExpError::RegExpError(qint32 number, const QString &description, PatternFault fault, const QString &engineMessage,
                         qint32 patternOffset)
    : RuntimeError(number, description), m_fault(fault), m_engineMessage(engineMessage), m_patternOffset(patternOffset)
{
}

namespace {

// Work limits. Both the JIT and the interpreter count steps per start position, so a search
// through a long text without a match does not add up towards the match limit. 10 million steps
// stop runaway backtracking well within a second and are far beyond what ordinary patterns need.
constexpr uint32_t kMatchLimit = 10'000'000;
// The interpreter's backtracking memory, in KiB. It is only the fallback when the JIT stack is
// exhausted, and needs more memory and far more time per step than the JIT, so its limit is
// kept small enough to give up quickly.
constexpr uint32_t kHeapLimitKiB = 64 * 1024;
// The JIT stack is reserved address space that is only touched as far as it is used; PCRE2's
// default of 32 KB overflows on a repeated group over a few dozen KB of text, 256 MB lets
// (a|b)* run over 16 MB.
constexpr size_t kJitStackStart = size_t(32) * 1024;
constexpr size_t kJitStackMax = size_t(256) * 1024 * 1024;

// Compiled patterns are cached per thread: on a clipboard-sized text a replace with a cached
// pattern took 0.65 us, compiling (translation, PCRE2 and JIT) every time 19 us
// (bench_regexp's BM_ShortTextCached and BM_ShortTextCompiled).
constexpr size_t kCacheSize = 16;

// Whether a pattern compiles must not depend on IgnoreCase, which makes classes of letters compile
// larger: (?<=[ab].{0,9}[sd]{0,9}[ef]{0,9}), written out in 58,000 characters, took 127 KB and
// exceeded PCRE2's limit (64 K code units, 128 KB) only with IgnoreCase; the largest growth
// measured was a third. A pattern above half the limit without IgnoreCase is therefore also
// compiled with it, and refused when that fails.
constexpr size_t kLargeCompiledSize = size_t(64) * 1024;

using CompiledCode = std::unique_ptr<pcre2_code, decltype(&pcre2_code_free)>;

size_t compiledSize(const CompiledCode &code)
{
    size_t size = 0;
    pcre2_pattern_info(code.get(), PCRE2_INFO_SIZE, &size);
    return size;
}

QString errorMessage(int code)
{
    char16_t buffer[256];
    const int length = pcre2_get_error_message(code, reinterpret_cast<PCRE2_UCHAR *>(buffer), std::size(buffer));
    return length < 0 ? QStringLiteral("error %1").arg(code) : QString::fromUtf16(buffer, length);
}

// The kind of a syntax error by PCRE2's code, which the translator's own errors use too.
PatternFault FaultOfCode(int code)
{
    switch (code) {
    case PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS: return PatternFault::MissingClosingParenthesis;
    case PCRE2_ERROR_UNMATCHED_CLOSING_PARENTHESIS: return PatternFault::UnmatchedClosingParenthesis;
    case PCRE2_ERROR_MISSING_SQUARE_BRACKET: return PatternFault::MissingClosingBracket;
    case PCRE2_ERROR_QUANTIFIER_INVALID: return PatternFault::NothingToRepeat;
    case PCRE2_ERROR_END_BACKSLASH: return PatternFault::TrailingBackslash;
    case PCRE2_ERROR_SUBPATTERN_NAME_EXPECTED:
    case PCRE2_ERROR_MISSING_NAME_TERMINATOR:
    case PCRE2_ERROR_DUPLICATE_SUBPATTERN_NAME:
    case PCRE2_ERROR_BAD_SUBPATTERN_REFERENCE: return PatternFault::BadGroupName;
    case PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER:
    case PCRE2_ERROR_CLASS_RANGE_ORDER: return PatternFault::RangeOutOfOrder;
    case PCRE2_ERROR_LOOKBEHIND_NOT_FIXED_LENGTH:
    case PCRE2_ERROR_LOOKBEHIND_TOO_COMPLICATED:
    case PCRE2_ERROR_LOOKBEHIND_TOO_LONG: return PatternFault::UnboundedLookbehind;
    default: return PatternFault::Other;
    }
}

[[noreturn]] void throwSyntaxError(int code, const QString &message, qint32 offset)
{
    throw RegExpError(ErrorNumber::RegExpSyntax,
                      ErrorDescription(ErrorNumber::RegExpSyntax, QStringLiteral("%1 at position %2").arg(message).arg(offset)),
                      FaultOfCode(code), message, offset);
}

[[noreturn]] void throwMatchError(int code)
{
    const QString message = errorMessage(code);
    switch (code) {
    case PCRE2_ERROR_MATCHLIMIT:
    case PCRE2_ERROR_HEAPLIMIT:
    case PCRE2_ERROR_DEPTHLIMIT:
    case PCRE2_ERROR_JIT_STACKLIMIT:
    case PCRE2_ERROR_NOMEMORY:
        throw RegExpError(ErrorNumber::OutOfStackSpace,
                          ErrorDescription(ErrorNumber::OutOfStackSpace,
                                           QStringLiteral("the regular expression needed too much work (%1)").arg(message)),
                          PatternFault::None, message, -1);
    default:
        throw RegExpError(ErrorNumber::InvalidProcedureCall, ErrorDescription(ErrorNumber::InvalidProcedureCall, message),
                          PatternFault::None, message, -1);
    }
}

[[noreturn]] void throwOverBudget(double seconds)
{
    const QString message = QStringLiteral("more than %1 s for the whole text").arg(seconds, 0, 'f', 1);
    throw RegExpError(ErrorNumber::OutOfStackSpace,
                      ErrorDescription(ErrorNumber::OutOfStackSpace,
                                       QStringLiteral("the regular expression needed too much work (%1)").arg(message)),
                      PatternFault::None, message, -1);
}

struct CompiledPattern {
    QString pattern;
    bool ignoreCase = false;
    CompiledCode code{nullptr, &pcre2_code_free};
    bool jit = false;
    // For the interpreter, which takes over when the JIT's stack runs out: the same pattern with
    // the callout where the interpreter passes it, when that is another place.
    CompiledCode interpreted{nullptr, &pcre2_code_free};
    // When every match begins with these code units: the pattern compiled anchored, JIT-compiled,
    // to be tried only where a scan for them finds them (see LeadingLiteral).
    QString literal;
    CompiledCode anchored{nullptr, &pcre2_code_free};
    // When the pattern is nothing but a literal between \b or \B: matched without PCRE2.
    std::optional<LiteralPattern> literalPattern;
    // When the pattern is nothing but a class of code units: matched without PCRE2 too.
    std::optional<ClassPattern> classPattern;
    // When the pattern is nothing but a literal between .* and .*: matched without PCRE2 as well.
    std::optional<LinePattern> linePattern;
    qint32 captureCount = 0;
    QHash<QString, qint32> groupNumbers;
};

// What one thread keeps between calls: the JIT stack, the match context carrying the limits,
// and the recently used patterns.
class ThreadState {
public:
    ThreadState()
    {
        pcre2_set_newline(m_compileContext.get(), PCRE2_NEWLINE_ANYCRLF);
        pcre2_set_match_limit(m_matchContext.get(), kMatchLimit);
        pcre2_set_heap_limit(m_matchContext.get(), kHeapLimitKiB);
        pcre2_jit_stack_assign(m_matchContext.get(), nullptr, m_jitStack.get());
    }

    pcre2_match_context *matchContext() const { return m_matchContext.get(); }

    CompiledPattern &compiled(const QString &pattern, bool ignoreCase)
    {
        for (auto it = m_cache.begin(); it != m_cache.end(); ++it) {
            if (it->ignoreCase == ignoreCase && it->pattern == pattern) {
                m_cache.splice(m_cache.begin(), m_cache, it);
                return m_cache.front();
            }
        }
        CompiledPattern entry = compile(pattern, ignoreCase);
        if (m_cache.size() >= kCacheSize)
            m_cache.pop_back();
        m_cache.push_front(std::move(entry));
        return m_cache.front();
    }

private:
    std::unique_ptr<pcre2_compile_context, decltype(&pcre2_compile_context_free)> m_compileContext{
        pcre2_compile_context_create(nullptr), &pcre2_compile_context_free};
    std::unique_ptr<pcre2_match_context, decltype(&pcre2_match_context_free)> m_matchContext{pcre2_match_context_create(nullptr),
                                                                                             &pcre2_match_context_free};
    std::unique_ptr<pcre2_jit_stack, decltype(&pcre2_jit_stack_free)> m_jitStack{
        pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr), &pcre2_jit_stack_free};
    std::list<CompiledPattern> m_cache;

    CompiledPattern compile(const QString &pattern, bool ignoreCase) const
    {
        TranslatedPattern translated = TranslateEcmaPattern(pattern);
        if (translated.errorCode != 0)
            throwSyntaxError(translated.errorCode,
                             translated.errorMessage.isEmpty() ? errorMessage(translated.errorCode) : translated.errorMessage,
                             translated.errorOffset);
        MakeRepeatsPossessive(translated);
        CompiledPattern entry;
        entry.pattern = pattern;
        entry.ignoreCase = ignoreCase;
        const qsizetype place = BudgetCalloutPlace(translated, true);
        entry.code = compileWithCallout(translated, place, ignoreCase);
        if (!ignoreCase && compiledSize(entry.code) > kLargeCompiledSize)
            compileWithCallout(translated, place, true);
        entry.jit = pcre2_jit_compile(entry.code.get(), PCRE2_JIT_COMPLETE) == 0;
        if (const qsizetype interpreted = BudgetCalloutPlace(translated, false); interpreted != place) {
            CompiledCode code = compileWithCallout(translated, interpreted, ignoreCase);
            if (entry.jit)
                entry.interpreted = std::move(code);
            else
                entry.code = std::move(code);
        }
        if (entry.jit && LiteralSearch::IsFast()) {
            entry.literalPattern = LiteralPattern::Of(translated, ignoreCase);
            if (!entry.literalPattern)
                entry.classPattern = ClassPattern::Of(translated, ignoreCase);
            entry.linePattern = LinePattern::Of(translated, ignoreCase);
            entry.literal = LeadingLiteral(translated, ignoreCase);
            if (!entry.literal.isEmpty() && !entry.literalPattern)
                entry.anchored = compileAnchored(translated, place, ignoreCase);
        }
        entry.captureCount = translated.captureCount;
        entry.groupNumbers = std::move(translated.groupNumbers);
        return entry;
    }

    // The translated pattern with the budget's callout at `place`, compiled by PCRE2.
    CompiledCode compileWithCallout(const TranslatedPattern &translated, qsizetype place, bool ignoreCase,
                                    uint32_t options = 0) const
    {
        int errorCode = 0;
        PCRE2_SIZE errorOffset = 0;
        const QString pcrePattern = WithBudgetCallout(translated, place);
        CompiledCode code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pcrePattern.utf16()), PCRE2_SIZE(pcrePattern.size()),
                                        kPcreCompileOptions | options | (ignoreCase ? PCRE2_CASELESS : 0u), &errorCode,
                                        &errorOffset, m_compileContext.get()),
                          &pcre2_code_free);
        if (!code) {
            // Back to an offset in the translated pattern, without the callout.
            const size_t mapped = std::min<size_t>(WithoutBudgetCallout(errorOffset, place),
                                                   translated.originalOffsets.size() - 1);
            throwSyntaxError(errorCode, errorMessage(errorCode), translated.originalOffsets[mapped]);
        }
        return code;
    }

    // The pattern tried at one position only, by the JIT; none when it cannot be JIT-compiled.
    CompiledCode compileAnchored(const TranslatedPattern &translated, qsizetype place, bool ignoreCase) const
    {
        CompiledCode code = compileWithCallout(translated, place, ignoreCase, PCRE2_ANCHORED);
        if (pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE) != 0)
            code.reset();
        return code;
    }
};

ThreadState &threadState()
{
    // Qt's storage rather than thread_local: with MinGW's runtime (posix threads), a process
    // whose worker thread had used a thread_local with a destructor hung at its exit.
    static QThreadStorage<ThreadState *> states;
    if (!states.hasLocalData())
        states.setLocalData(new ThreadState);
    return *states.localData();
}

// The replacement text cut into pieces once, by the rules of ECMAScript's GetSubstitution.
class Substitution {
public:
    Substitution(const QString &replacement, const CompiledPattern &compiled) : m_text(replacement), m_compiled(compiled)
    {
        qsizetype literalStart = 0;
        qsizetype i = 0;
        while (i < m_text.size()) {
            std::optional<Piece> piece;
            const qsizetype length = m_text.at(i) == u'$' ? dollarForm(i, &piece) : 0;
            if (length == 0) {
                ++i;
                continue;
            }
            if (i > literalStart)
                m_pieces.push_back({Kind::Literal, literalStart, i - literalStart});
            if (piece)
                m_pieces.push_back(*piece);
            i += length;
            literalStart = i;
        }
        if (m_text.size() > literalStart)
            m_pieces.push_back({Kind::Literal, literalStart, m_text.size() - literalStart});
    }

    void appendTo(ResultWriter &out, const QString &subject, const PCRE2_SIZE *ovector, int pairs) const
    {
        const QChar *text = subject.constData();
        for (const Piece &piece : m_pieces) {
            switch (piece.kind) {
            case Kind::Literal: out.append(m_text.constData() + piece.start, piece.length); break;
            case Kind::Match: out.append(text + ovector[0], qsizetype(ovector[1] - ovector[0])); break;
            case Kind::Before: out.append(text, qsizetype(ovector[0])); break;
            case Kind::After: out.append(text + ovector[1], subject.size() - qsizetype(ovector[1])); break;
            case Kind::Group:
                if (piece.start < pairs && ovector[2 * piece.start] != PCRE2_UNSET) {
                    const PCRE2_SIZE begin = ovector[2 * piece.start];
                    out.append(text + begin, qsizetype(ovector[2 * piece.start + 1] - begin));
                }
                break;
            }
        }
    }

    // Whether it inserts the text before or after the match ($` or $'), which differs from one
    // match to the next even where the matches are the same.
    bool readsAroundMatch() const
    {
        return std::any_of(m_pieces.begin(), m_pieces.end(),
                           [](const Piece &piece) { return piece.kind == Kind::Before || piece.kind == Kind::After; });
    }

    // Whether it inserts the match ($&).
    bool readsMatch() const
    {
        return std::any_of(m_pieces.begin(), m_pieces.end(), [](const Piece &piece) { return piece.kind == Kind::Match; });
    }

    // What it makes of a match that is `match` and the whole text, with no group set.
    QString textFor(const QString &match) const
    {
        const PCRE2_SIZE ovector[2] = {0, PCRE2_SIZE(match.size())};
        ResultWriter text(m_text.size());
        appendTo(text, match, ovector, 1);
        return text.take();
    }

private:
    enum class Kind { Literal, Match, Before, After, Group };
    struct Piece {
        Kind kind;
        qsizetype start; // offset into the replacement, or the group number
        qsizetype length;
    };

    // The $ form at `i`: how many characters it takes, 0 when the $ is an ordinary character;
    // `piece` is what it inserts, nothing for a name no group bears.
    qsizetype dollarForm(qsizetype i, std::optional<Piece> *piece) const
    {
        switch (i + 1 < m_text.size() ? m_text.at(i + 1).unicode() : 0) {
        case u'$': return dollarSign(i, piece);
        case u'&': return wholeMatch(piece);
        case u'`': return textBefore(piece);
        case u'\'': return textAfter(piece);
        case u'<': return namedGroup(i, piece);
        default: return numberedGroup(i, piece);
        }
    }

    // $$: one dollar sign.
    static qsizetype dollarSign(qsizetype i, std::optional<Piece> *piece)
    {
        *piece = Piece{Kind::Literal, i + 1, 1};
        return 2;
    }

    // $&: the match.
    static qsizetype wholeMatch(std::optional<Piece> *piece)
    {
        *piece = Piece{Kind::Match, 0, 0};
        return 2;
    }

    // $`: the text before the match.
    static qsizetype textBefore(std::optional<Piece> *piece)
    {
        *piece = Piece{Kind::Before, 0, 0};
        return 2;
    }

    // $': the text after the match.
    static qsizetype textAfter(std::optional<Piece> *piece)
    {
        *piece = Piece{Kind::After, 0, 0};
        return 2;
    }

    // $n and $nn: a group by number; two digits only when they name a group, and a number no
    // group bears is ordinary text.
    qsizetype numberedGroup(qsizetype i, std::optional<Piece> *piece) const
    {
        const auto digit = [this](qsizetype at) {
            return at < m_text.size() && m_text.at(at) >= u'0' && m_text.at(at) <= u'9' ? m_text.at(at).unicode() - u'0' : -1;
        };
        if (digit(i + 1) < 0)
            return 0;
        qint32 group = digit(i + 1);
        qsizetype length = 2;
        if (digit(i + 2) >= 0 && group * 10 + digit(i + 2) <= m_compiled.captureCount) {
            group = group * 10 + digit(i + 2);
            length = 3;
        }
        if (group == 0 || group > m_compiled.captureCount)
            return 0;
        *piece = Piece{Kind::Group, group, 0};
        return length;
    }

    // $<name>: a group by its name as written, only in a pattern with named groups.
    qsizetype namedGroup(qsizetype i, std::optional<Piece> *piece) const
    {
        if (m_compiled.groupNumbers.isEmpty())
            return 0;
        const qsizetype close = m_text.indexOf(u'>', i + 2);
        if (close < 0)
            return 0;
        const qint32 group = m_compiled.groupNumbers.value(m_text.mid(i + 2, close - i - 2), -1);
        if (group >= 0)
            *piece = Piece{Kind::Group, group, 0};
        return close + 1 - i;
    }

    const QString &m_text;
    const CompiledPattern &m_compiled;
    std::vector<Piece> m_pieces;
};

// One search from `offset`, or with PCRE2_ANCHORED one try there: by the JIT-compiled code when
// there is one, by the interpreter when there is none or the JIT's stack ran out. Returns PCRE2's
// result (PCRE2_ERROR_CALLOUT when MatchBudget stopped it), never a limit or other error.
int match(const CompiledPattern &compiled, const pcre2_code *jitCode, PCRE2_SPTR subject, PCRE2_SIZE length, PCRE2_SIZE offset,
          uint32_t options, pcre2_match_data *matchData, pcre2_match_context *context)
{
    int rc = PCRE2_ERROR_JIT_STACKLIMIT;
    if (jitCode)
        rc = pcre2_jit_match(jitCode, subject, length, offset, 0, matchData, context);
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT)
        rc = pcre2_match(compiled.interpreted ? compiled.interpreted.get() : compiled.code.get(), subject, length, offset,
                         PCRE2_NO_JIT | options, matchData, context);
    if (rc < 0 && rc != PCRE2_ERROR_NOMATCH && rc != PCRE2_ERROR_CALLOUT)
        throwMatchError(rc);
    return rc;
}

int search(const CompiledPattern &compiled, PCRE2_SPTR subject, PCRE2_SIZE length, PCRE2_SIZE offset, pcre2_match_data *matchData,
           pcre2_match_context *context)
{
    return match(compiled, compiled.jit ? compiled.code.get() : nullptr, subject, length, offset, 0, matchData, context);
}

// How close to where its search began a match must be for the next search to be left to PCRE2:
// the scan for a leading literal and a try cost about 10 ns more than PCRE2's own search when
// matches are close together (foo over 10 M characters: 19 ms against 16 ms), and save 3 ns for
// each 8 code units that PCRE2 would scan.
constexpr PCRE2_SIZE kNearMatch = 256;

// The first match at or after `from` of a pattern with a leading literal: the pattern is tried
// where the literal stands, from the left, which finds what a search from `from` finds, as no
// match begins elsewhere. Each try stays within the match limit and passes the budget's callout
// as the search would.
int searchByLiteral(const CompiledPattern &compiled, QStringView text, PCRE2_SIZE from, pcre2_match_data *matchData,
                    pcre2_match_context *context)
{
    const auto subject = reinterpret_cast<PCRE2_SPTR>(text.utf16());
    const auto length = PCRE2_SIZE(text.size());
    for (qsizetype at = qsizetype(from); (at = LiteralSearch::Find(text, at, compiled.literal)) >= 0; ++at) {
        const int rc = match(compiled, compiled.anchored.get(), subject, length, PCRE2_SIZE(at), PCRE2_ANCHORED, matchData,
                             context);
        if (rc != PCRE2_ERROR_NOMATCH)
            return rc;
    }
    return PCRE2_ERROR_NOMATCH;
}

// The budget of a whole replace. The match limit counts steps per start position, so it never
// stops a pattern whose work grows with the square of the text: (?:a|b)*[cd] over 150,000 a and
// b took 25 s. The callout at each start position therefore looks at the cancel token, and now
// and then at a deadline that grows with the text. Between two start positions the match limit
// bounds the work: one start position took at most 0.6 s (bench/budget).
class MatchBudget {
public:
    using Clock = std::chrono::steady_clock;

    // A first piece of time for any text, and more for each code unit: the ordinary replaces of
    // bench/budget took at most 2.2 s over 100 MB, 21 ns a code unit, against 13 s allowed.
    static constexpr std::chrono::milliseconds kBaseTime{3000};
    static constexpr std::chrono::nanoseconds kTimePerCodeUnit{100};

    MatchBudget(PCRE2_SIZE length, const CancelToken *cancel)
        : m_cancel(cancel), m_start(Clock::now()), m_deadline(m_start + kBaseTime + kTimePerCodeUnit * qint64(length))
    {
    }

    // Installs the callout in the match context for the searches of this replace.
    void watch(pcre2_match_context *context) { pcre2_set_callout(context, &MatchBudget::callout, this); }

    // After a search that the callout abandoned: the reason, as an exception.
    [[noreturn]] void throwStop() const
    {
        ThrowIfCancelled(m_cancel);
        throwOverBudget(std::chrono::duration<double>(m_deadline - m_start).count());
    }

private:
    // The clock is read once every this many start positions: a read costs about 20 ns.
    static constexpr unsigned kPositionsPerClockRead = 16;

    static int callout(pcre2_callout_block *, void *data)
    {
        auto *budget = static_cast<MatchBudget *>(data);
        if (budget->m_cancel && budget->m_cancel->isCancelled())
            return PCRE2_ERROR_CALLOUT;
        if (++budget->m_positions % kPositionsPerClockRead == 0 && Clock::now() > budget->m_deadline)
            return PCRE2_ERROR_CALLOUT;
        return 0;
    }

    const CancelToken *m_cancel;
    const Clock::time_point m_start;
    const Clock::time_point m_deadline;
    unsigned m_positions = 0;
};

// The start of the character after the one at `offset`, a surrogate pair being one character.
PCRE2_SIZE NextCharacter(PCRE2_SPTR subject, PCRE2_SIZE length, PCRE2_SIZE offset)
{
    const bool pair = offset + 1 < length && QChar::isHighSurrogate(subject[offset])
                      && QChar::isLowSurrogate(subject[offset + 1]);
    return offset + (pair ? 2 : 1);
}

// The text with the first match of a line pattern (every match, when global) replaced: a scan
// for each match, without PCRE2. Each match ends where a line ends, where the next search starts.
QString replaceLines(const LinePattern &pattern, const QString &text, const Substitution &substitution, bool global,
                     const CancelToken *cancel)
{
    std::optional<ResultWriter> result;
    qsizetype copied = 0;
    qsizetype match[2];
    while (pattern.find(text, copied, match)) {
        ThrowIfCancelled(cancel);
        if (!result)
            result.emplace(text.size());
        result->append(text.constData() + copied, match[0] - copied);
        const PCRE2_SIZE ovector[2] = {PCRE2_SIZE(match[0]), PCRE2_SIZE(match[1])};
        substitution.appendTo(*result, text, ovector, 1);
        copied = match[1];
        if (!global)
            break;
    }
    if (!result)
        return text;
    result->append(text.constData() + copied, text.size() - copied);
    return result->take();
}

}

QString RegExp::Replace(const QString &text, const QString &replacement, const CancelToken *cancel) const
{
    // The budget's callout may never be passed on a text that a pattern runs through at once.
    ThrowIfCancelled(cancel);
    ThreadState &state = threadState();
    const CompiledPattern &compiled = state.compiled(m_pattern, m_ignoreCase);
    const Substitution substitution(replacement, compiled);
    if (compiled.literalPattern && !substitution.readsAroundMatch())
        return ReplaceLiteral(*compiled.literalPattern, text, substitution.textFor(compiled.literalPattern->literal()), m_global,
                              cancel);
    if (compiled.classPattern && !substitution.readsAroundMatch() && !substitution.readsMatch())
        return ReplaceLiteral(*compiled.classPattern, text, substitution.textFor(QString()), m_global, cancel);
    if (compiled.linePattern)
        return replaceLines(*compiled.linePattern, text, substitution, m_global, cancel);

    const auto subject = reinterpret_cast<PCRE2_SPTR>(text.utf16());
    const auto length = PCRE2_SIZE(text.size());
    // Per call, so the interpreter's backtracking memory, which it keeps, goes with it.
    const std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> matchData{
        pcre2_match_data_create_from_pattern(compiled.code.get(), nullptr), &pcre2_match_data_free};
    if (!matchData)
        throw std::bad_alloc();
    const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(matchData.get());
    std::optional<ResultWriter> result;
    PCRE2_SIZE copied = 0;
    PCRE2_SIZE from = 0;
    MatchBudget budget(length, cancel);
    budget.watch(state.matchContext());
    // Where the last match began near where its search did, PCRE2's own search finds the next
    // one sooner than a scan and a try (see kNearMatch).
    bool near = false;
    while (from <= length) {
        const int pairs = compiled.anchored && !near
                              ? searchByLiteral(compiled, text, from, matchData.get(), state.matchContext())
                              : search(compiled, subject, length, from, matchData.get(), state.matchContext());
        if (pairs == PCRE2_ERROR_CALLOUT)
            budget.throwStop();
        if (pairs == PCRE2_ERROR_NOMATCH)
            break;
        if (!result)
            result.emplace(text.size());
        result->append(text.constData() + copied, qsizetype(ovector[0] - copied));
        substitution.appendTo(*result, text, ovector, pairs);
        copied = ovector[1];
        near = ovector[0] - from < kNearMatch;
        if (!m_global)
            break;
        from = ovector[1];
        // After an empty match the search moves on by one character, a surrogate pair being one.
        if (ovector[1] == ovector[0])
            from = NextCharacter(subject, length, from);
    }
    if (!result)
        return text;
    result->append(text.constData() + copied, qsizetype(length - copied));
    return result->take();
}
