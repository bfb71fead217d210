#pragma once

#include "base/mdl_ErrorFunction.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Answers every box with OK and shows nothing: the targets call failure paths on purpose.
struct SilentPresenter : MessagePresenter {
    qint16 show(qint32, const QString &, const QString &) override { return MsgBox::Ok; }
};

// A broken invariant is a finding: report it and abort so that libFuzzer keeps the input.
[[noreturn]] inline void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "invariant broken: %s %s\n", what, qPrintable(detail));
    std::abort();
}

// One temporary folder for the whole run.
inline QString folder()
{
    static QTemporaryDir dir;
    return dir.isValid() ? dir.path() : (fail("no temporary folder"), QString());
}

inline QByteArrayView bytes(const uint8_t *data, size_t size)
{
    return {reinterpret_cast<const char *>(data), qsizetype(size)};
}

// The input cut at every NUL byte, at most maxParts pieces (the last one keeps any further NULs).
inline QList<QByteArrayView> split(QByteArrayView input, int maxParts)
{
    QList<QByteArrayView> parts;
    for (qsizetype nul; parts.size() + 1 < maxParts && (nul = input.indexOf('\0')) >= 0; input = input.sliced(nul + 1))
        parts.append(input.first(nul));
    parts.append(input);
    return parts;
}

// UTF-8 text, or raw little-endian UTF-16 code units so that lone surrogates can be reached as well.
inline QString text(QByteArrayView bytes, bool asUtf16)
{
    if (!asUtf16)
        return QString::fromUtf8(bytes);
    QString result(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < result.size(); ++i)
        result[i] = QChar(char16_t(uint8_t(bytes[2 * i]) | uint8_t(bytes[2 * i + 1]) << 8));
    return result;
}

}

// Each target is a single translation unit, so this header defines its initialisation.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // An application object as the programs have: it holds the main thread's Qt data (and the
    // per-thread storage of the regular expressions) where the leak checker can see it. It is
    // never destroyed: at exit it would end after Qt's own statics, which its end still needs.
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static const QCoreApplication *const application = new QCoreApplication(argc, argv);
    Q_UNUSED(application);
    static fuzz::SilentPresenter presenter;
    SetMessagePresenter(&presenter);
    return 0;
}
