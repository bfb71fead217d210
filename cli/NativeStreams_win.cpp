#include "cli/NativeStreams.h"

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

long long StandardInputFileSize()
{
    struct _stat64 info {};
    if (_fstat64(_fileno(stdin), &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG)
        return info.st_size;
    return 0;
}

}
