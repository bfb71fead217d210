#pragma once

#include <QString>
#include <QStringView>

// Standard input and output as UTF-8 byte streams: nothing is added, dropped or converted
// (a byte-order mark and CR LF pass through as they are). A Windows console, which takes
// characters rather than bytes, is written as characters.

// All of standard input. False, with the reason, when it is not valid UTF-8 or cannot be read.
bool ReadStandardInputUtf8(QString *text, QString *error);

// Writes the text encoded piece by piece, so that no second full copy is made. False, with the
// reason and before anything is written, when the text holds a lone surrogate, which has no
// UTF-8 form; false also when writing fails.
bool WriteStandardOutput(QStringView text, QString *error);

// Writes the text to standard error as it is.
void WriteStandardError(QStringView text);

// The position of the first surrogate that is not part of a pair, or -1.
qsizetype FindLoneSurrogate(QStringView text);

// One message line on standard error, prefixed with the program's name.
void PrintError(const QString &message);
