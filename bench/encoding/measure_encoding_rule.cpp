// How often the encoding rule misreads real text. Each line of each file given is one text (UTF-8,
// "\n" written as the two characters backslash and n); it is put into a settings line
// "<Name>text</Name>" and written once as code page 932 (when the page holds it) and once as UTF-8
// without a byte-order mark; both files are read back with the rule.
// Usage: measure_encoding_rule FILE...   (measure_encoding_rule.sh builds the files)
#include "xml/CodePageText.h"

#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace {

struct Tally {
    long texts = 0;
    long codePageWritten = 0;
    long codePageMisread = 0;
    long codePageDoubt = 0;
    long utf8Misread = 0;
    QStringList examples;
};

QByteArray line(const QByteArray &value)
{
    return "<Name>" + value + "</Name>\r\n";
}

void measure(const QString &text, Tally &tally)
{
    ++tally.texts;
    QByteArray bytes;
    if (CodePageText::EncodeCodePage932(text, &bytes)) {
        ++tally.codePageWritten;
        const CodePageText::DecodedText decoded = CodePageText::Decode(line(bytes));
        if (!decoded.otherReading.isEmpty())
            ++tally.codePageDoubt;
        if (decoded.encoding != CodePageText::Encoding::CodePage932) {
            ++tally.codePageMisread;
            tally.examples.append(QStringLiteral("code page 932 read as UTF-8: ") + text + QStringLiteral(" -> ") + decoded.text);
        }
    }
    const CodePageText::DecodedText decoded = CodePageText::Decode(line(text.toUtf8()));
    if (decoded.encoding != CodePageText::Encoding::Utf8 && decoded.text != QString::fromLatin1(line(text.toUtf8()))) {
        ++tally.utf8Misread;
        tally.examples.append(QStringLiteral("UTF-8 read as code page 932: ") + text + QStringLiteral(" -> ") + decoded.text);
    }
}

double percent(long part, long whole)
{
    return whole > 0 ? 100.0 * double(part) / double(whole) : 0.0;
}

}

int main(int argc, char **argv)
{
    std::printf("code page 932 codec: %s\n", qPrintable(CodePageText::CodePage932::Current().name()));
    for (int i = 1; i < argc; ++i) {
        QFile file(QString::fromLocal8Bit(argv[i]));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        Tally tally;
        while (!file.atEnd()) {
            QString text = QString::fromUtf8(file.readLine()).chopped(1);
            text.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
            if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x80; }))
                measure(text, tally);
        }
        std::printf("%s: %ld texts\n", argv[i], tally.texts);
        std::printf("  code page 932: %ld written, %ld also valid UTF-8, %ld misread as UTF-8 (%.4f%%)\n", tally.codePageWritten,
                    tally.codePageDoubt, tally.codePageMisread, percent(tally.codePageMisread, tally.codePageWritten));
        std::printf("  UTF-8: %ld misread as code page 932 (%.4f%%)\n", tally.utf8Misread,
                    percent(tally.utf8Misread, tally.texts));
        for (qsizetype e = 0; e < tally.examples.size() && e < 20; ++e)
            std::printf("    %s\n", qPrintable(tally.examples[e]));
    }
    return 0;
}
