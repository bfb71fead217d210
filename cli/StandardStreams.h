#pragma once

#include <QString>
#include <QStringView>

// Standard input and output as UTF-8 byte streams: nothing is added, dropped or converted
// (a byte-order mark and CR LF pass through as they are). A Windows console, which takes
// characters rather than bytes, is written as characters.

// All of standard input. False, with the reason, when it is not valid UTF-8 or cannot be read.
bool ReadStandardInputUtf8(QString *text, QString *error);

// Writes the text encoded piece by piece, so that no second full copy is made: every command's
// output goes through here. False, with the reason on standard error, when writing fails (a full
// disk, a reader that has gone away), and before anything is written when the text holds a lone
// surrogate, which has no UTF-8 form.
bool WriteStandardOutput(QStringView text);

// Writes the text to standard error as it is.
void WriteStandardError(QStringView text);

// The position of the first surrogate that is not part of a pair, or -1.
qsizetype FindLoneSurrogate(QStringView text);

// One message line on standard error, prefixed with the program's name.
void PrintError(const QString &message);
