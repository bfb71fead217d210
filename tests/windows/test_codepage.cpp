// Code page 932 through the Windows API: the vectors of the XML store, and the refusal of
// characters the page lacks.
#include "LaneCheck.h"
#include "xml/NativeCodePage.h"

int main()
{
    const auto codecs = NativeCodePage::Codecs();
    lane::check(codecs.size() == 1 && std::string(codecs.front().name) == "Windows API", "one codec, the Windows API");
    if (codecs.empty())
        return lane::result("code page 932");
    const NativeCodePage::Codec &codec = codecs.front();

    // \ ~ ～ ＼ ￠ ① 纊 (NEC row) ⅰ ｱ 日
    const std::string read("\\~\x81\x60\x81\x5F\x81\x91\x87\x40\xED\x40\xFA\x40\xB1\x93\xfa");
    const std::u16string text = u"\\~\uFF5E\uFF3C\uFFE0\u2460\u7E8A\u2170\uFF71\u65E5";
    // Windows writes 纊 with its IBM code FA5C.
    const std::string written("\\~\x81\x60\x81\x5F\x81\x91\x87\x40\xFA\x5C\xFA\x40\xB1\x93\xfa");

    std::u16string decoded;
    bool ok = codec.decode(read, decoded);
    lane::check(ok && decoded == text, "decodes the vector", lane::units(decoded));
    ok = codec.decode("\xFA\x5C", decoded);
    lane::check(ok && decoded == u"\u7E8A", "FA5C is 纊 as well", lane::units(decoded));
    std::string encoded;
    ok = codec.encode(text, encoded);
    lane::check(ok && encoded == written, "encodes the vector", lane::hex(encoded));
    lane::check(codec.decode("", decoded) && decoded.empty(), "empty bytes");

    // Controls are ASCII.
    ok = codec.decode("\x1A\x1C\x7F", decoded);
    lane::check(ok && decoded == u"\u001A\u001C\u007F", "controls decode as themselves", lane::units(decoded));
    ok = codec.encode(u"\u001A\u001C\u007F", encoded);
    lane::check(ok && encoded == "\x1A\x1C\x7F", "controls encode as themselves", lane::hex(encoded));

    // Strict both ways.
    lane::check(!codec.decode("\x85\x40", decoded), "a pair without a character is refused");
    lane::check(!codec.decode("A\x82", decoded), "a lead byte at the end is refused");
    for (const std::u16string &refused : {std::u16string(u"5\u20AC"), std::u16string(u"\u203E"), std::u16string(u"\u00A5"),
                                          std::u16string(u"x\U0001F600"), std::u16string(1, char16_t(0xD800))}) {
        encoded = "kept";
        lane::check(!codec.encode(refused, encoded), "refuses a character the page lacks", lane::units(refused));
    }
    return lane::result("code page 932");
}
