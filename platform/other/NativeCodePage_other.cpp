#include "platform/NativeCodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <iconv.h>

#include <cerrno>

namespace {

// Qt finds "windows-31j" only where it was built with ICU (ICU's ibm-943_P15A-2003: 0x5C is a
// backslash, the NEC and IBM extension rows decode).
constexpr const char *kQtName = "windows-31j";
constexpr const char *kIconvName = "CP932";

bool QtDecode(std::string_view bytes, std::u16string &text)
{
    QStringDecoder decoder(kQtName, QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return false;
    const QString decoded = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (decoder.hasError())
        return false;
    text = decoded.toStdU16String();
    return true;
}

bool QtEncode(std::u16string_view text, std::string &bytes)
{
    QStringEncoder encoder(kQtName, QStringEncoder::Flag::Stateless);
    if (!encoder.isValid())
        return false;
    const QByteArray encoded = encoder(QStringView(text.data(), qsizetype(text.size())));
    if (encoder.hasError())
        return false;
    bytes.assign(encoded.constData(), size_t(encoded.size()));
    return true;
}

// One conversion through iconv; false on any byte or character it cannot convert, and, when
// exact, on any conversion that iconv itself counts as irreversible (glibc writes "‾" as "~").
bool IconvConvert(const char *to, const char *from, const char *input, size_t size, std::string &output, bool exact)
{
    output.clear();
    iconv_t converter = iconv_open(to, from);
    // iconv_open tells a failure by (iconv_t)-1, an integer made a pointer.
    if (converter == iconv_t(-1)) // NOLINT(performance-no-int-to-ptr)
        return false;
    char *in = const_cast<char *>(input);
    size_t inLeft = size;
    std::string buffer(size * 2 + 16, '\0');
    bool ok = true;
    while (inLeft > 0) {
        char *out = buffer.data();
        size_t outLeft = buffer.size();
        const size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        output.append(buffer.data(), buffer.size() - outLeft);
        if (result == size_t(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
        if (result != size_t(-1) && result > 0 && exact) {
            ok = false;
            break;
        }
    }
    iconv_close(converter);
    return ok;
}

bool IconvDecode(std::string_view bytes, std::u16string &text)
{
    std::string utf16;
    if (!IconvConvert("UTF-16LE", kIconvName, bytes.data(), bytes.size(), utf16, false))
        return false;
    text.resize(utf16.size() / 2);
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = char16_t(static_cast<unsigned char>(utf16[2 * i]) | static_cast<unsigned char>(utf16[2 * i + 1]) << 8);
    return true;
}

bool IconvEncode(std::u16string_view text, std::string &bytes)
{
    std::string utf16(text.size() * 2, '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        utf16[2 * i] = char(text[i] & 0xFF);
        utf16[2 * i + 1] = char(text[i] >> 8);
    }
    return IconvConvert(kIconvName, "UTF-16LE", utf16.data(), utf16.size(), bytes, true);
}

bool IconvAvailable()
{
    iconv_t converter = iconv_open("UTF-16LE", kIconvName);
    if (converter == iconv_t(-1)) // NOLINT(performance-no-int-to-ptr): iconv_open's failure value

        return false;
    iconv_close(converter);
    return true;
}

}

namespace NativeCodePage {

std::vector<Codec> Codecs()
{
    std::vector<Codec> codecs;
    if (QStringDecoder(kQtName).isValid() && QStringEncoder(kQtName).isValid())
        codecs.push_back(Codec{"Qt", QtDecode, QtEncode});
    if (IconvAvailable())
        codecs.push_back(Codec{"iconv", IconvDecode, IconvEncode});
    return codecs;
}

}
