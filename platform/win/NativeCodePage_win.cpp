#include "platform/NativeCodePage.h"

#include <windows.h>

#include <climits>

namespace {

constexpr UINT kCodePage = 932;

bool Decode(std::string_view bytes, std::u16string &text)
{
    text.clear();
    if (bytes.empty())
        return true;
    if (bytes.size() > size_t(INT_MAX))
        return false;
    const int size = int(bytes.size());
    const int length = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        return false;
    text.resize(size_t(length));
    return MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, reinterpret_cast<wchar_t *>(text.data()),
                               length)
           == length;
}

bool Encode(std::u16string_view text, std::string &bytes)
{
    bytes.clear();
    if (text.empty())
        return true;
    if (text.size() > size_t(INT_MAX))
        return false;
    const auto *wide = reinterpret_cast<const wchar_t *>(text.data());
    const int size = int(text.size());
    // Without best fit, a character the page lacks becomes the default character and is flagged,
    // instead of turning into a look-alike ("€" would not silently become something else).
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault)
        return false;
    bytes.resize(size_t(length));
    return WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, size, bytes.data(), length, nullptr, &usedDefault) == length
           && !usedDefault;
}

}

namespace NativeCodePage {

std::vector<Codec> Codecs()
{
    return {Codec{"Windows API", Decode, Encode}};
}

}
