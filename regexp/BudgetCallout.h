#pragma once

#include "regexp/EcmaPatternTranslator.h"

#include <QString>

// Where the callout of a replace's work budget goes in a translated pattern: PCRE2 calls it at
// each start position that passes it, and the budget then looks at its clock and cancel token.
// At the very start it would be called at every start position, but it also hides the pattern's
// start from PCRE2's optimisations: the JIT no longer skips the start positions that a leading
// iterator has already run over ([a-z]*[0-9] over a line of 40,000 letters took 0.30 s instead
// of 0.01 s, .*x over a line of 1 MB ran into the budget), nor scans for its first characters
// (zqx over 10 M characters: 1.6 ms instead of 0.5 ms). So it goes after the first item that
// matches a character, or after a leading run of such items without quantifiers, past plain
// group openers and zero-width anchors: every start position that does more than test those few
// characters still passes it. A pattern with an alternative keeps it at the start, where every
// alternative passes it.
// With the JIT, a leading * or + repeat never runs twice over the same characters, so the callout
// can go after the characters that follow it too: otherwise it is passed at every step the repeat
// gives back (.*foo.* over 10 M characters: 107 ms, 66 ms after "foo"). The interpreter does not
// skip so, and a {2,} repeat is not skipped by either (\w{2,}e\d over a line of 100,000 letters
// took 3 s without passing the callout there).
qsizetype BudgetCalloutPlace(const TranslatedPattern &pattern, bool jit);

// The translated pattern with the budget's callout "(?C)" at place.
QString WithBudgetCallout(const TranslatedPattern &pattern, qsizetype place);
// An offset in WithBudgetCallout's text as an offset in the translated pattern.
size_t WithoutBudgetCallout(size_t offset, qsizetype place);
