#include "platform/NativeRuntimeFolder.h"

#include <windows.h>

std::u16string NativeRuntimeFolder()
{
    // Windows gives every user a temporary folder of their own inside the profile.
    std::wstring path(MAX_PATH + 1, L'\0');
    const DWORD length = GetTempPathW(DWORD(path.size()), path.data());
    if (length == 0 || length >= path.size())
        return {};
    path.resize(length);
    return std::u16string(path.begin(), path.end());
}
