#include "ui/ItemFailureText.h"

#include <QList>

namespace {

struct PatternWording {
    PatternFault fault;
    QString wording;
    // The error lies at the end of the pattern: something is missing there.
    bool isAtEnd = false;
};

const QList<PatternWording> &PatternWordings()
{
    static const QList<PatternWording> wordings{
        {PatternFault::MissingClosingParenthesis, QStringLiteral("閉じかっこ「)」が足りません。"), true},
        {PatternFault::UnmatchedClosingParenthesis, QStringLiteral("対応する「(」のない「)」があります。")},
        {PatternFault::MissingClosingBracket, QStringLiteral("閉じかっこ「]」が足りません。"), true},
        {PatternFault::NothingToRepeat, QStringLiteral("繰り返しの記号（* + ? {}）の前に、繰り返すものがありません。")},
        {PatternFault::TrailingBackslash, QStringLiteral("パターンが「\\」で終わっています。"), true},
        {PatternFault::BadGroupName, QStringLiteral("グループの名前（(?<名前>…) や \\k<名前>）が正しくありません。")},
        {PatternFault::RangeOutOfOrder, QStringLiteral("範囲の指定が逆順か、正しくありません。")},
        {PatternFault::UnboundedLookbehind, QStringLiteral("後読み (?<=…) (?<!…) の中では使えない書き方です。")},
    };
    return wordings;
}

const PatternWording *FindWording(PatternFault fault)
{
    for (const PatternWording &wording : PatternWordings()) {
        if (wording.fault == fault)
            return &wording;
    }
    return nullptr;
}

QString Reason(const GeneratedText &result)
{
    if (result.error.number == ErrorNumber::OutOfStackSpace)
        return QStringLiteral("パターンの照合に手間がかかりすぎるため、途中でやめました。");
    if (result.error.number == ErrorNumber::RegExpSyntax) {
        const QString place = QStringLiteral("パターンの %1 文字目").arg(result.patternOffset + 1);
        if (const PatternWording *wording = FindWording(result.patternFault)) {
            return (wording->isAtEnd ? QStringLiteral("パターンの終わり") : place) + QStringLiteral("：") + wording->wording;
        }
        return place + QStringLiteral("に誤りがあります。\r\n") + result.engineMessage;
    }
    const QString english = result.engineMessage.isEmpty() ? result.error.description : result.engineMessage;
    return QStringLiteral("エラー %1 が起きました。\r\n").arg(result.error.number) + english;
}

}

QString ItemFailureText(const QString &name, const GeneratedText &result)
{
    return QStringLiteral("「%1」の文字列を作れませんでした。\r\n%2").arg(name, Reason(result));
}
