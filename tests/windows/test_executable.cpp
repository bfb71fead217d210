// The executable's folder and name, from a renamed copy in a folder with a non-ASCII name: the
// settings file is found beside the program and named after it.
#include "LaneCheck.h"
#include "app/NativeExecutable.h"

#include <windows.h>

#include <string>

namespace {

std::wstring Wide(const std::u16string &text)
{
    return std::wstring(text.begin(), text.end());
}

}

int wmain(int argc, wchar_t **argv)
{
    const std::u16string path = NativeExecutablePath();
    if (argc == 3 && std::wstring(argv[1]) == L"--report") {
        // The copy: is its own path the one it was started as?
        return Wide(path) == argv[2] ? 0 : 3;
    }
    lane::check(!path.empty() && path.find(u'\\') != std::u16string::npos, "the path is a full path", "");

    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"tavrelo lane \u8A2D\u5B9A";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring copy = folder + L"\\\u30D1\u30EC\u30C3\u30C8 copy.exe";
    lane::check(CopyFileW(Wide(path).c_str(), copy.c_str(), FALSE) != 0, "copied under another name");

    std::wstring command = L"\"" + copy + L"\" --report \"" + copy + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    DWORD exitCode = 1;
    if (CreateProcessW(copy.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    lane::check(exitCode == 0, "the copy knows its own folder and name", std::to_string(exitCode));
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
    return lane::result("executable");
}
