#include "platform/NativeExecutable.h"

#include <windows.h>

std::u16string NativeExecutablePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return std::u16string(path.begin(), path.end());
        }
        path.resize(path.size() * 2);
    }
}
