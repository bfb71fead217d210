#include "platform/NativeStreams.h"

#include <csignal>
#include <cstdio>
#include <sys/stat.h>

namespace NativeStreams {

void MakeBinary()
{
}

void FailWritesToClosedPipes()
{
    // Ignored, a write to a pipe without a reader fails with EPIPE.
    std::signal(SIGPIPE, SIG_IGN);
}

long long StandardInputFileSize()
{
    struct stat info { };
    if (fstat(fileno(stdin), &info) == 0 && S_ISREG(info.st_mode))
        return info.st_size;
    return 0;
}

std::optional<bool> WriteToConsole(Stream, std::u16string_view)
{
    // Terminals here take UTF-8 bytes.
    return std::nullopt;
}

}
