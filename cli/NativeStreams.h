#pragma once

// The standard streams as the operating system sees them. Standard library only, so that the
// Windows file builds alone.
namespace NativeStreams {

// Makes standard input and output binary where the system would translate line ends.
void MakeBinary();
// The size of standard input when it is a regular file, else 0: a hint for reserving memory.
long long StandardInputFileSize();

}
