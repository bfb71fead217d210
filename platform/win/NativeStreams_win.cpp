#include "platform/NativeStreams.h"

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace NativeStreams {

void MakeBinary()
{
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

void FailWritesToClosedPipes()
{
    // Windows has no such signal: the write fails with ERROR_NO_DATA.
}

long long StandardInputFileSize()
{
    struct _stat64 info { };
    if (_fstat64(_fileno(stdin), &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG)
        return info.st_size;
    return 0;
}

std::optional<bool> WriteToConsole(Stream stream, std::u16string_view text)
{
    const HANDLE handle = GetStdHandle(stream == Stream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !GetConsoleMode(handle, &mode))
        return std::nullopt;
    // What the C library still holds must come first.
    std::fflush(stream == Stream::Output ? stdout : stderr);
    // The console takes a limited amount at once; 8 K characters is well within it.
    constexpr size_t kPiece = 8192;
    while (!text.empty()) {
        size_t length = text.size() < kPiece ? text.size() : kPiece;
        // A surrogate pair stays in one piece.
        if (length < text.size() && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF)
            --length;
        DWORD written = 0;
        if (!WriteConsoleW(handle, text.data(), DWORD(length), &written, nullptr) || written == 0)
            return false;
        text.remove_prefix(written);
    }
    return true;
}

}
