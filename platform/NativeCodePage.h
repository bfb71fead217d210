#pragma once

#include <string>
#include <string_view>
#include <vector>

// Code page 932 (Windows-31J) through what the system offers. Standard library only, so that the
// Windows file builds alone.
namespace NativeCodePage {

struct Codec {
    // Which implementation this is, for messages and tests: "Windows API", "Qt", "iconv".
    const char *name;
    // Strict: false when some bytes have no character in the code page, or the codec cannot run.
    bool (*decode)(std::string_view bytes, std::u16string &text);
    // Strict: false when some character has no code in the page; no best-fit substitutes.
    bool (*encode)(std::u16string_view text, std::string &bytes);
};

// The code page 932 codecs of this system, the preferred one first; empty when it has none.
std::vector<Codec> Codecs();

}
