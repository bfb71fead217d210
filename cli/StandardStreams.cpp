#include "cli/StandardStreams.h"

#include "base/mdl_ErrorFunction.h"

#include <QByteArray>
#include <QStringDecoder>
#include <QStringEncoder>

#include "platform/NativeStreams.h"

#include <cstdio>

namespace {

constexpr qsizetype kReadChunk = qsizetype(1) << 20;
constexpr qsizetype kWriteChunk = qsizetype(1) << 20;

// The length of the prefix that ends on a character boundary; the rest may be the start of a
// sequence that the next chunk completes.
qsizetype CompleteUtf8Prefix(const QByteArray &bytes)
{
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= 4 && back <= size; ++back) {
        const auto c = static_cast<unsigned char>(bytes.at(size - back));
        if ((c & 0xC0) == 0x80)
            continue;
        const qsizetype length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
}

// One piece to a stream: as characters to a console, else as UTF-8.
bool WritePiece(NativeStreams::Stream stream, QStringView piece, QStringEncoder &encoder)
{
    const std::u16string_view characters(reinterpret_cast<const char16_t *>(piece.utf16()), size_t(piece.size()));
    if (const std::optional<bool> isWritten = NativeStreams::WriteToConsole(stream, characters))
        return *isWritten;
    const QByteArray bytes = encoder(piece);
    std::FILE *file = stream == NativeStreams::Stream::Output ? stdout : stderr;
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file) == size_t(bytes.size());
}

}

bool ReadStandardInputUtf8(QString *text, QString *error)
{
    // Stateless, so that a sequence cut off at the very end counts as an error; chunks are
    // therefore cut on character boundaries by hand. The initial byte-order mark is kept.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    text->clear();
    // UTF-8 never takes fewer bytes than UTF-16 code units, so the byte count is enough.
    const long long hint = NativeStreams::StandardInputFileSize();
    if (hint > 0)
        text->reserve(qsizetype(hint));

    QByteArray chunk;
    QByteArray pending;
    for (;;) {
        chunk.resize(kReadChunk);
        const size_t count = std::fread(chunk.data(), 1, size_t(chunk.size()), stdin);
        chunk.truncate(qsizetype(count));
        if (count == 0) {
            if (std::ferror(stdin)) {
                *error = QStringLiteral("cannot read standard input");
                return false;
            }
            break;
        }
        pending.append(chunk);
        const qsizetype complete = CompleteUtf8Prefix(pending);
        text->append(decoder(QByteArrayView(pending).first(complete)));
        pending.remove(0, complete);
        if (decoder.hasError())
            break;
    }
    if (!pending.isEmpty())
        text->append(decoder(pending));
    if (decoder.hasError()) {
        text->clear();
        text->squeeze();
        *error = QStringLiteral("standard input is not valid UTF-8");
        return false;
    }
    return true;
}

qsizetype FindLoneSurrogate(QStringView text)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        return i;
    }
    return -1;
}

bool WriteStandardOutput(QStringView text)
{
    const qsizetype lone = FindLoneSurrogate(text);
    if (lone >= 0) {
        PrintError(QStringLiteral("the result has no UTF-8 form: a lone surrogate at character %1").arg(lone));
        return false;
    }
    QStringEncoder encoder(QStringEncoder::Utf8);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype length = qMin(kWriteChunk, text.size() - start);
        // Keep a pair together so that every piece encodes on its own.
        if (start + length < text.size() && text.at(start + length - 1).isHighSurrogate())
            ++length;
        if (!WritePiece(NativeStreams::Stream::Output, text.sliced(start, length), encoder))
            break;
        start += length;
    }
    if (start < text.size() || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        PrintError(QStringLiteral("cannot write standard output"));
        return false;
    }
    return true;
}

void WriteStandardError(QStringView text)
{
    QStringEncoder encoder(QStringEncoder::Utf8);
    WritePiece(NativeStreams::Stream::Error, text, encoder);
    std::fflush(stderr);
}

void PrintError(const QString &message)
{
    WriteStandardError(QString(QStringLiteral("tavrelo-cli: ") + OneLine(message) + u'\n'));
}
