// Colour texts through ToColor and ToValue.
#include "FuzzSupport.h"

#include "settings/ColorText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzz::text(fuzz::bytes(data, size), false);
    const qint32 color = ToColor(text);
    // Three channels of two hexadecimal digits each.
    if (color < 0 || color > 0xFFFFFF)
        fuzz::fail("colour outside RRGGBB", text);
    ToValue(text);
    ToValue(fuzz::text(fuzz::bytes(data, size), true));
    return 0;
}
