#pragma once

#include "regexp/EcmaPatternTranslator.h"

#include <optional>

// The code units that every match of a translated pattern begins with, the match starting where
// they start; empty when there are none or they cannot be told for sure. A replace can then look
// for them with a fast scan and try the pattern only there: PCRE2's own scan for a first code
// unit reads 8 code units a step and takes 2 to 4 times as long as a scan that reads 32.
// Only zero-width assertions that look at the characters before (\b, \B and lookbehinds) may
// stand before the characters; a pattern with an alternative at the top level or that starts
// with ^ has none (a ^ pattern is tried at the start only, which no scan can beat). A character
// counts when it is one code point of the BMP other than a surrogate and matched only as itself:
// with IgnoreCase, whose case folding is Unicode's (k matches the Kelvin sign), only an ASCII
// character that is not a letter.
QString LeadingLiteral(const TranslatedPattern &pattern, bool ignoreCase);

// The one code unit that a character item matches, when it matches one only and as itself, as
// LeadingLiteral counts it.
std::optional<char16_t> LiteralCodeUnit(const PatternItem &item, bool ignoreCase);
