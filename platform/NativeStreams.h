#pragma once

#include <optional>
#include <string_view>

// The standard streams as the operating system sees them. Standard library only, so that the
// Windows file builds alone.
namespace NativeStreams {

enum class Stream { Output, Error };

// Makes standard input and output binary where the system would translate line ends.
void MakeBinary();
// A reader that has gone away makes a write fail, as a full disk does, where the system would end
// the program with a signal (SIGPIPE): the program then says so and ends with its own status.
void FailWritesToClosedPipes();
// The size of standard input when it is a regular file, else 0: a hint for reserving memory.
long long StandardInputFileSize();
// Writes the text as characters when the stream is a console that takes characters rather than
// bytes (the Windows console, whose code page would garble UTF-8): true when it was written,
// false when writing failed. Nothing when the stream is a pipe, a file or a terminal that takes
// bytes: the caller writes UTF-8 then.
std::optional<bool> WriteToConsole(Stream stream, std::u16string_view text);

}
