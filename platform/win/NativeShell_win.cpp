#include "platform/NativeShell.h"

// windows.h first: shellapi.h uses its types without including it.
#include <windows.h>

#include <shellapi.h>

namespace NativeShell {

int Open(std::uintptr_t owner, const std::u16string &target)
{
    const std::wstring file(target.begin(), target.end());
    const HINSTANCE result = ShellExecuteW(reinterpret_cast<HWND>(owner), L"open", file.c_str(), L"", L"", SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

}
