#pragma once

#include "regexp/EcmaPatternTranslator.h"

// Rewrites a greedy repeat of [\w] or [\d] in a translated pattern as PCRE2's possessive repeat
// of \w or \d (\w++) where giving characters back could never lead to a match: what follows can
// only go on with a character outside the set, or is the pattern's end, $ or \b. The match and
// its groups stay the same. PCRE2 would make [\w]+ possessive itself, but runs \w's own test
// faster than the class: (\w+)\s*=\s*\1! over a line of 40,000 letters took 0.45 s with [\w]+,
// 0.29 s with \w++. Works on the translator's items, which it moves along with the text.
void MakeRepeatsPossessive(TranslatedPattern &pattern);
