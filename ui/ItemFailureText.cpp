#include "ui/ItemFailureText.h"

#include <QList>

namespace {

struct PatternWording {
    // Phrases of PCRE2's messages (and of the pattern translator's, which uses PCRE2's), lower case.
    QList<QLatin1String> phrases;
    QString wording;
    // The error lies at the end of the pattern: something is missing there.
    bool isAtEnd = false;
};

const QList<PatternWording> &PatternWordings()
{
    static const QList<PatternWording> wordings{
        {{QLatin1String("missing closing parenthesis"), QLatin1String("missing )")},
         QStringLiteral("閉じかっこ「)」が足りません。"), true},
        {{QLatin1String("unmatched closing parenthesis")}, QStringLiteral("対応する「(」のない「)」があります。")},
        {{QLatin1String("missing terminating ]")}, QStringLiteral("閉じかっこ「]」が足りません。"), true},
        {{QLatin1String("quantifier does not follow a repeatable item"), QLatin1String("nothing to repeat")},
         QStringLiteral("繰り返しの記号（* + ? {}）の前に、繰り返すものがありません。")},
        {{QLatin1String("at end of pattern")}, QStringLiteral("パターンが「\\」で終わっています。"), true},
        {{QLatin1String("escape"), QLatin1String("follows \\"), QLatin1String("\\c must be"), QLatin1String("\\k is not"),
          QLatin1String("\\g is not"), QLatin1String("\\p"), QLatin1String("\\x{}")},
         QStringLiteral("「\\」の後ろの書き方が正しくありません。")},
        {{QLatin1String("subpattern name"), QLatin1String("named subpatterns"), QLatin1String("group name"),
          QLatin1String("non-existent subpattern")},
         QStringLiteral("グループの名前（(?<名前>…) や \\k<名前>）が正しくありません。")},
        {{QLatin1String("out of order"), QLatin1String("invalid range")}, QStringLiteral("範囲の指定が逆順か、正しくありません。")},
        {{QLatin1String("lookbehind")}, QStringLiteral("後読み (?<=…) (?<!…) の中では使えない書き方です。")},
    };
    return wordings;
}

const PatternWording *FindWording(const QString &engineMessage)
{
    const QString message = engineMessage.toLower();
    for (const PatternWording &wording : PatternWordings()) {
        for (const QLatin1String &phrase : wording.phrases) {
            if (message.contains(phrase))
                return &wording;
        }
    }
    return nullptr;
}

QString Reason(const GeneratedText &result)
{
    if (result.error.number == ErrorNumber::OutOfStackSpace)
        return QStringLiteral("パターンの照合に手間がかかりすぎるため、途中でやめました。");
    if (result.error.number == ErrorNumber::RegExpSyntax) {
        const QString place = QStringLiteral("パターンの %1 文字目").arg(result.patternOffset + 1);
        if (const PatternWording *wording = FindWording(result.engineMessage)) {
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
