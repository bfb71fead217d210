#include "ui/ItemFailureText.h"

#include "regexp/PcreCompileOptions.h"

#include <QList>

namespace {

struct PatternWording {
    // PCRE2's error codes, which the pattern translator's own errors use too.
    QList<int> codes;
    QString wording;
    // The error lies at the end of the pattern: something is missing there.
    bool isAtEnd = false;
};

const QList<PatternWording> &PatternWordings()
{
    static const QList<PatternWording> wordings{
        {{PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS}, QStringLiteral("閉じかっこ「)」が足りません。"), true},
        {{PCRE2_ERROR_UNMATCHED_CLOSING_PARENTHESIS}, QStringLiteral("対応する「(」のない「)」があります。")},
        {{PCRE2_ERROR_MISSING_SQUARE_BRACKET}, QStringLiteral("閉じかっこ「]」が足りません。"), true},
        {{PCRE2_ERROR_QUANTIFIER_INVALID}, QStringLiteral("繰り返しの記号（* + ? {}）の前に、繰り返すものがありません。")},
        {{PCRE2_ERROR_END_BACKSLASH}, QStringLiteral("パターンが「\\」で終わっています。"), true},
        {{PCRE2_ERROR_SUBPATTERN_NAME_EXPECTED, PCRE2_ERROR_MISSING_NAME_TERMINATOR, PCRE2_ERROR_DUPLICATE_SUBPATTERN_NAME,
          PCRE2_ERROR_BAD_SUBPATTERN_REFERENCE},
         QStringLiteral("グループの名前（(?<名前>…) や \\k<名前>）が正しくありません。")},
        {{PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER, PCRE2_ERROR_CLASS_RANGE_ORDER},
         QStringLiteral("範囲の指定が逆順か、正しくありません。")},
        {{PCRE2_ERROR_LOOKBEHIND_NOT_FIXED_LENGTH, PCRE2_ERROR_LOOKBEHIND_TOO_COMPLICATED, PCRE2_ERROR_LOOKBEHIND_TOO_LONG},
         QStringLiteral("後読み (?<=…) (?<!…) の中では使えない書き方です。")},
    };
    return wordings;
}

const PatternWording *FindWording(int engineCode)
{
    for (const PatternWording &wording : PatternWordings()) {
        if (wording.codes.contains(engineCode))
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
        if (const PatternWording *wording = FindWording(result.engineCode)) {
            return (wording->isAtEnd ? QStringLiteral("パターンの終わり") : place) + QStringLiteral("：")
                + wording->wording;
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
