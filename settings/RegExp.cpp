#include "settings/RegExp.h"

RegExpError::RegExpError(qint32 number, const QString &description, const QString &engineMessage,
                         qint32 patternOffset)
    : RuntimeError(number, description), m_engineMessage(engineMessage), m_patternOffset(patternOffset)
{
}

QString RegExp::Replace(const QString &, const QString &) const
{
    throw RegExpError(5017, QStringLiteral("Syntax error in regular expression"), QStringLiteral("not built yet"), -1);
}
