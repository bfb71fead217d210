#include "regexp/LookbehindWriter.h"

#include <algorithm>
#include <optional>

namespace {

// Writing a lookbehind out makes the pattern grow with the number of alternatives:
// (?<=[a-z]{0,255}) takes 256 and compiles in under 10 ms.
constexpr size_t kMaxLookbehindAlternatives = 256;

qint32 groupCount(const std::vector<PatternNode> &sequence);

qint32 groupCount(const PatternNode &node)
{
    qint32 count = node.kind == PatternNode::Kind::Group && node.group == GroupKind::Capture ? 1 : 0;
    for (const auto &alternative : node.alternatives)
        count += groupCount(alternative);
    return count;
}

qint32 groupCount(const std::vector<PatternNode> &sequence)
{
    qint32 count = 0;
    for (const PatternNode &node : sequence)
        count += groupCount(node);
    return count;
}

// Writes a lookbehind so that PCRE2 10.42 accepts it. One that already has a fixed length in
// each top-level alternative stays as it is. Otherwise every way of matching it is listed with
// its length: bounded quantifiers become one alternative per count, groups one per alternative.
// The alternatives are kept in the order in which V8, which matches a lookbehind backwards, tries
// them, so that the same captures win; neighbours of the same length are joined into one. Group
// numbers stay as written: an alternative that leaves out a group holds an empty one in its
// place, and alternatives with groups stand in a branch reset (?|...).
class LookbehindWriter {
public:
    QString lookbehind(const PatternNode &node, bool capture)
    {
        const bool fixed = std::all_of(node.alternatives.begin(), node.alternatives.end(),
                                       [](const std::vector<PatternNode> &a) { return fixedLength(a).has_value(); });
        const bool observable = capture && node.text == QStringLiteral("(?<=") && groupCount(node) > 0;
        const bool repeats = std::any_of(node.alternatives.begin(), node.alternatives.end(),
                                         [](const auto &a) { return std::any_of(a.begin(), a.end(), repeatsGroups); });
        if (fixed && !(observable && repeats))
            return node.text + alternativesAsWritten(node, capture) + u')';
        const bool previous = m_reorder;
        m_reorder = !observable;
        std::vector<Variant> variants;
        try {
            variants = merged(groupVariants(node, capture), capture && groupCount(node) > 0);
        } catch (const LookbehindRefused &) {
            m_reorder = previous;
            throw;
        }
        m_reorder = previous;
        QString text;
        if (variants.size() == 1 || !capture || groupCount(node) == 0) {
            text = node.text;
            for (size_t i = 0; i < variants.size(); ++i)
                text += (i ? QStringLiteral("|") : QString()) + variants[i].text;
            return text + u')';
        }
        // Each alternative in a lookbehind of its own, all of them in a branch reset so that
        // their groups share numbers; a negative one as the negation of the positive one.
        text = QStringLiteral("(?|");
        for (size_t i = 0; i < variants.size(); ++i)
            text += (i ? QStringLiteral("|(?<=") : QStringLiteral("(?<=")) + variants[i].text + u')';
        text += u')';
        return node.text == QStringLiteral("(?<=") ? text : QStringLiteral("(?!") + text + u')';
    }

private:
    struct Variant {
        qint64 length;
        QString text;
    };

    // Whether alternatives may be reordered: when no capture can tell which one matched.
    bool m_reorder = true;

    static QString emptyGroups(qint32 count) { return QStringLiteral("()").repeated(count); }

    static std::optional<qint64> fixedLength(const std::vector<PatternNode> &sequence)
    {
        qint64 total = 0;
        for (const PatternNode &node : sequence) {
            const std::optional<qint64> length = fixedLength(node);
            if (!length)
                return std::nullopt;
            total += *length;
        }
        return total;
    }

    static std::optional<qint64> fixedLength(const PatternNode &node)
    {
        std::optional<qint64> single = node.length;
        if (node.kind == PatternNode::Kind::BackReference)
            return std::nullopt;
        if (node.kind == PatternNode::Kind::Group) {
            if (node.group == GroupKind::Lookahead || node.group == GroupKind::Lookbehind) {
                single = 0;
            } else {
                single = fixedLength(node.alternatives.front());
                for (const auto &alternative : node.alternatives) {
                    if (fixedLength(alternative) != single)
                        return std::nullopt;
                }
            }
        }
        if (!single || node.min != node.max)
            return std::nullopt;
        return *single * node.min;
    }

    static void check(size_t count)
    {
        if (count > kMaxLookbehindAlternatives)
            throw LookbehindRefused();
    }

    QString alternativesAsWritten(const PatternNode &node, bool capture)
    {
        QString text;
        for (size_t i = 0; i < node.alternatives.size(); ++i) {
            if (i)
                text += u'|';
            for (const PatternNode &child : node.alternatives[i])
                text += asWritten(child, capture) + child.quantifier;
        }
        return text;
    }

    // A node without its quantifier, as written; a nested lookbehind is written by the rules of
    // its own.
    QString asWritten(const PatternNode &node, bool capture)
    {
        switch (node.kind) {
        case PatternNode::Kind::Atom:
        case PatternNode::Kind::BackReference: return node.text;
        case PatternNode::Kind::Group: break;
        }
        if (node.group == GroupKind::Lookbehind)
            return lookbehind(node, capture);
        const QString open = node.group == GroupKind::Capture && !capture ? QStringLiteral("(?:") : node.text;
        return open + alternativesAsWritten(node, capture) + u')';
    }

    // Neighbouring variants of the same length joined, or, when the order does not matter, all
    // variants of the same length.
    std::vector<Variant> merged(std::vector<Variant> variants, bool groups) const
    {
        std::vector<std::vector<Variant>> runs;
        for (Variant &variant : variants) {
            const auto sameLength = [&](const std::vector<Variant> &run) { return run.front().length == variant.length; };
            auto found = runs.end();
            if (m_reorder)
                found = std::find_if(runs.begin(), runs.end(), sameLength);
            else if (!runs.empty() && sameLength(runs.back()))
                found = runs.end() - 1;
            if (found == runs.end())
                runs.emplace_back().push_back(std::move(variant));
            else
                found->push_back(std::move(variant));
        }
        std::vector<Variant> out;
        for (std::vector<Variant> &run : runs) {
            if (run.size() == 1) {
                out.push_back(std::move(run.front()));
                continue;
            }
            QString text = groups ? QStringLiteral("(?|") : QStringLiteral("(?:");
            for (size_t i = 0; i < run.size(); ++i)
                text += (i ? QStringLiteral("|") : QString()) + run[i].text;
            out.push_back({run.front().length, text + u')'});
        }
        return out;
    }

    // The group's alternatives one after the other, each with empty groups in place of the
    // groups of the others.
    std::vector<Variant> groupVariants(const PatternNode &node, bool capture)
    {
        std::vector<qint32> counts;
        qint32 total = 0;
        for (const auto &alternative : node.alternatives) {
            counts.push_back(capture ? groupCount(alternative) : 0);
            total += counts.back();
        }
        std::vector<Variant> out;
        qint32 before = 0;
        for (size_t i = 0; i < node.alternatives.size(); ++i) {
            for (Variant &variant : sequenceVariants(node.alternatives[i], capture)) {
                out.push_back({variant.length, emptyGroups(before) + variant.text + emptyGroups(total - before - counts[i])});
                check(out.size());
            }
            before += counts[i];
        }
        return out;
    }

    // V8 matches a sequence from its end: the last element's choices count most.
    std::vector<Variant> sequenceVariants(const std::vector<PatternNode> &sequence, bool capture)
    {
        std::vector<Variant> result{{0, QString()}};
        for (const PatternNode &node : sequence) {
            const std::vector<Variant> last = nodeVariants(node, capture);
            std::vector<Variant> next;
            check(last.size() * result.size());
            for (const Variant &right : last) {
                for (const Variant &left : result)
                    next.push_back({left.length + right.length, left.text + right.text});
            }
            result = merged(std::move(next), capture && groupCount(sequence) > 0);
        }
        return result;
    }

    std::vector<Variant> nodeVariants(const PatternNode &node, bool capture)
    {
        if (node.kind == PatternNode::Kind::BackReference)
            throw LookbehindRefused();
        const std::optional<qint64> fixed = fixedLength(node);
        if (fixed && node.min == node.max && (m_reorder || !repeatsGroups(node)))
            return {{*fixed, asWritten(node, capture) + node.quantifier}};
        const bool groups = capture && groupCount(node) > 0;
        std::vector<Variant> once = onceVariants(node, capture);
        if (node.min == 1 && node.max == 1)
            return once;
        const bool empty = std::all_of(once.begin(), once.end(), [](const Variant &v) { return v.length == 0; });
        quint32 max = node.max;
        if (max == UINT32_MAX) {
            if (!empty)
                throw LookbehindRefused();
            max = std::max(node.min, 1u);
        }
        if (max > kMaxLookbehindAlternatives)
            throw LookbehindRefused();
        // The copies are written out. V8 matches the last copy first, a greedy quantifier tries
        // one more copy before it stops, and the groups keep what the first copy, the one V8
        // matches last, captured: so only the first copy is written with its groups.
        const std::vector<Variant> plain = groups ? onceVariants(node, false) : once;
        std::vector<Variant> out;
        for (const std::vector<size_t> &copies : repetitions(once, node.min, max, node.lazy)) {
            if (copies.empty()) {
                out.push_back({0, groups ? QStringLiteral("(?:%1){0}").arg(emptyGroups(groupCount(node))) : QString()});
                continue;
            }
            Variant variant{0, QString()};
            if (once.size() == 1) {
                const qsizetype rest = qsizetype(copies.size()) - (groups ? 1 : 0);
                variant.length = once.front().length * qint64(copies.size());
                variant.text = (groups ? once.front().text : QString()) + repeated(node, plain.front().text, rest);
                out.push_back(std::move(variant));
                continue;
            }
            for (size_t i = copies.size(); i-- > 0;) {
                const Variant &copy = i + 1 == copies.size() ? once[copies[i]] : plain[copies[i]];
                variant.length += copy.length;
                variant.text += copy.text;
            }
            out.push_back(std::move(variant));
        }
        return merged(std::move(out), groups);
    }

    // `count` copies of a node's text: an atom takes the count directly.
    static QString repeated(const PatternNode &node, const QString &text, qsizetype count)
    {
        if (count <= 0)
            return QString();
        if (count == 1)
            return text;
        const QString body = node.kind == PatternNode::Kind::Atom ? text : QStringLiteral("(?:%1)").arg(text);
        return body + QStringLiteral("{%1}").arg(count);
    }

    std::vector<Variant> onceVariants(const PatternNode &node, bool capture)
    {
        if (!isAlternation(node))
            return {{node.length, asWritten(node, capture)}};
        std::vector<Variant> once = merged(groupVariants(node, capture), capture && groupCount(node) > 0);
        if (capture && node.group == GroupKind::Capture) {
            for (Variant &variant : once)
                variant.text = u'(' + variant.text + u')';
        }
        return once;
    }

    static bool isAlternation(const PatternNode &node)
    {
        return node.kind == PatternNode::Kind::Group && (node.group == GroupKind::Capture || node.group == GroupKind::NonCapture);
    }

    // Whether the node repeats a group, itself or inside.
    static bool repeatsGroups(const PatternNode &node)
    {
        if (node.max > 1 && groupCount(node) > 0)
            return true;
        for (const auto &alternative : node.alternatives) {
            if (std::any_of(alternative.begin(), alternative.end(), repeatsGroups))
                return true;
        }
        return false;
    }

    // Between min and max copies, as the choice among the variants for each copy from the
    // last, in V8's order. A copy beyond the minimum may not be empty (ECMAScript stops a
    // repetition there).
    std::vector<std::vector<size_t>> repetitions(const std::vector<Variant> &variants, quint32 min, quint32 max, bool lazy)
    {
        if (max == 0)
            return {{}};
        std::vector<std::vector<size_t>> out;
        if (min == 0 && lazy)
            out.emplace_back();
        const std::vector<std::vector<size_t>> before = repetitions(variants, min > 0 ? min - 1 : 0, max - 1, lazy);
        for (size_t choice = 0; choice < variants.size(); ++choice) {
            if (min == 0 && variants[choice].length == 0)
                continue;
            for (const std::vector<size_t> &rest : before) {
                out.push_back({choice});
                out.back().insert(out.back().end(), rest.begin(), rest.end());
                check(out.size());
            }
        }
        if (min == 0 && !lazy)
            out.emplace_back();
        return out;
    }
};

}

QString WriteLookbehind(const PatternNode &lookbehind)
{
    return LookbehindWriter().lookbehind(lookbehind, true);
}
