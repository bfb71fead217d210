#include "ui/DesignFonts.h"

#include <QFontDatabase>
#include <QFontInfo>

QString NearestFamily(const QStringList &families, QFont::StyleHint hint)
{
    const QStringList installed = QFontDatabase::families();
    for (const QString &family : families) {
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    }
    QFont font;
    font.setStyleHint(hint);
    return QFontInfo(font).family();
}

QString GothicFamily()
{
    // MS Gothic is a fixed-pitch face: its monospaced relatives come first.
    static const QString family = NearestFamily(
        {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("Noto Sans Mono CJK JP"),
         QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"),
         QStringLiteral("TakaoGothic"), QStringLiteral("VL Gothic"), QStringLiteral("Source Han Sans JP")},
        QFont::SansSerif);
    return family;
}

QString SerifFamily()
{
    static const QString family = NearestFamily(
        {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"),
         QStringLiteral("Nimbus Roman"),
         // The frame's caption is Japanese: a serif face with kana and kanji beats a Latin one.
         QStringLiteral("Noto Serif CJK JP"), QStringLiteral("IPAMincho"), QStringLiteral("DejaVu Serif"),
         QStringLiteral("Noto Serif")},
        QFont::Serif);
    return family;
}

QString SansFamily()
{
    static const QString family = NearestFamily(
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans"),
         QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans")},
        QFont::SansSerif);
    return family;
}

QFont DesignFont(const QString &family, double points, int weight)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setWeight(QFont::Weight(weight));
    return font;
}
