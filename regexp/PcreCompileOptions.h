#pragma once

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

// PCRE2 options for ECMAScript's meaning of what the translator leaves to PCRE2: UTF-16 text
// that may hold lone surrogates, $ only at the very end, a back reference to an unset group
// matching the empty text, [] and [^] as the empty and the full class.
inline constexpr uint32_t kPcreCompileOptions = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_DOLLAR_ENDONLY
                                                | PCRE2_MATCH_UNSET_BACKREF | PCRE2_ALLOW_EMPTY_CLASS;
