#pragma once

#include <QString>

#include <vector>

enum class GroupKind { Capture, NonCapture, Lookahead, Lookbehind };

// A lookbehind this program's engine cannot run: unbounded, with a back reference, or one that
// would take more than 256 fixed-length alternatives to write out.
struct LookbehindRefused { };

// A lookbehind's contents as a tree, kept while translating it, so that it can be written out
// again in the form PCRE2 10.42 accepts: every top-level alternative of one fixed length.
struct PatternNode {
    enum class Kind { Atom, BackReference, Group };
    Kind kind = Kind::Atom;
    // An atom's translation, or the opening of a group such as "(?:" or "(?<!".
    QString text;
    // An atom's length in characters: 0 for an assertion, else 1.
    qint64 length = 0;
    GroupKind group = GroupKind::NonCapture;
    std::vector<std::vector<PatternNode>> alternatives;
    // The quantifier, as written in the translation and as numbers (max UINT32_MAX: unbounded).
    QString quantifier;
    quint32 min = 1;
    quint32 max = 1;
    bool lazy = false;
};

// The lookbehind, as the translator read it, written so that PCRE2 10.42 accepts it: one that
// already has a fixed length in each top-level alternative stays as it is; otherwise every way
// of matching it is listed with its length. Throws LookbehindRefused.
QString WriteLookbehind(const PatternNode &lookbehind);
