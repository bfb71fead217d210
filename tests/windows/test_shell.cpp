// The shell's "open" and its message table.
#include "LaneCheck.h"
#include "app/NativeShell.h"

#include <windows.h>

#include <string>

int main()
{
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring missing = std::wstring(folder) + L"tavrelo-lane-no-such-file.txt";
    const int code = NativeShell::Open(0, std::u16string(missing.begin(), missing.end()));
    lane::check(code == NativeShell::FileNotFound, "a missing file is not opened", std::to_string(code));
    lane::check(std::string(NativeShell::ErrorMessage(code)) == "File not found", "its message",
                NativeShell::ErrorMessage(code));

    const char *messages[33] = {};
    messages[2] = "File not found";
    messages[3] = "Path not found";
    messages[5] = "Access denied";
    messages[8] = "Out of memory";
    messages[11] = "Invalid EXE file or error in EXE image";
    messages[26] = "A sharing violation occurred";
    messages[27] = "Incomplete or invalid file association";
    messages[28] = "DDE Time out";
    messages[29] = "DDE transaction failed";
    messages[30] = "DDE busy";
    messages[31] = "No association for file extension";
    messages[32] = "DLL not found";
    bool all = true;
    for (int value = 0; value <= 32; ++value) {
        const std::string expected = messages[value] ? messages[value] : "Unknown error";
        if (expected != NativeShell::ErrorMessage(value)) {
            all = false;
            lane::check(false, "message of return value", std::to_string(value) + ": " + NativeShell::ErrorMessage(value));
        }
    }
    lane::check(all, "every return value from 0 to 32 has its message");
    // The shell's own constants match the names the program uses.
    lane::check(SE_ERR_FNF == NativeShell::FileNotFound && SE_ERR_PNF == NativeShell::PathNotFound
                    && SE_ERR_NOASSOC == NativeShell::NoAssociation,
                "the shell's error constants");
    return lane::result("shell");
}
