#include "xml/ElementSpan.h"

QString OpenTag(QStringView name)
{
    return u'<' + name.toString() + u'>';
}

QString CloseTag(QStringView name)
{
    return QStringLiteral("</") + name.toString() + u'>';
}

ElementSpan FindElement(QStringView text, QStringView name, qsizetype begin, qsizetype end)
{
    const qsizetype stop = end < 0 ? text.size() : end;
    const qsizetype open = text.first(stop).indexOf(OpenTag(name), begin);
    return ElementAt(text, name, open, stop);
}

ElementSpan ElementAt(QStringView text, QStringView name, qsizetype open, qsizetype end)
{
    ElementSpan span;
    if (open < 0)
        return span;
    const qsizetype stop = end < 0 ? text.size() : end;
    span.open = open;
    span.contentStart = open + name.size() + 2;
    // Searched from the character after the opening tag's "<", so that with exotic names the two
    // tags may overlap; the content is empty then.
    span.close = text.first(stop).indexOf(CloseTag(name), open + 1);
    return span;
}
