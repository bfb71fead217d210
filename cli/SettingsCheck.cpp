#include "cli/SettingsCheck.h"

#include "settings/Cls_MySettingFile.h"
#include "settings/ColorText.h"
#include "settings/RegExp.h"
#include "xml/CodePageText.h"
#include "xml/ElementSpan.h"
#include "xml/TextHelpers.h"

#include <QDate>
#include <QHash>

#include <algorithm>

namespace {

constexpr qint32 kLastItemNumber = 100;

bool SpansLines(QStringView value)
{
    return value.contains(u'\r') || value.contains(u'\n');
}

bool IsBlank(QStringView value)
{
    return std::all_of(value.begin(), value.end(), [](QChar c) { return c.isSpace(); });
}

// What remains after the blanks and tabs that the palette trims must be RRGGBB.
bool IsColorText(QStringView value)
{
    const QString digits = TrimColorText(value);
    return digits.size() == 6 && std::all_of(digits.begin(), digits.end(), [](QChar c) { return HexDigitValue(c) >= 0; });
}

QString Quoted(QStringView value)
{
    return u'"' + value.toString() + u'"';
}

// An opening tag "<ItemDIGITS>" of the data section, with its number as written.
struct ItemTag {
    qsizetype open = -1;
    qsizetype end = -1;
    QString number;
};

class Checker {
public:
    Checker(const QByteArray &bytes, CheckedValues *values)
        : m_values(values)
    {
        CodePageText::DecodedText decoded = CodePageText::Decode(bytes);
        m_encoding = decoded.encoding;
        m_clean = decoded.clean;
        m_text = Cls_MySettingFile::ReplaceDatePlaceholders(CodePageText::NormalizeLineEnds(decoded.text),
                                                            QDate::currentDate());
        m_lines = std::make_unique<LineIndex>(m_text);
    }

    QList<Finding> run()
    {
        checkEncoding();
        checkColors();
        checkData();
        std::stable_sort(m_findings.begin(), m_findings.end(),
                         [](const Finding &a, const Finding &b) { return a.line < b.line; });
        return m_findings;
    }

private:
    void report(qsizetype offset, const QString &message)
    {
        m_findings.append({m_lines->lineOf(offset), message});
    }

    QStringView content(const ElementSpan &span) const
    {
        return span.content(m_text);
    }

    // A lookup of the palette inside the element at path ("DataSetting/Item3"): reports an opening
    // tag left without its closing tag, which makes the value read as empty; where names the
    // element in that message (" in Item3").
    ElementSpan lookUp(const ElementSpan &within, const QString &path, const QString &name,
                       const QString &where = QString())
    {
        const ElementSpan span = FindElement(m_text, name, within.contentStart, within.contentStart + within.contentLength());
        if (span.hasOpen() && !span.isComplete())
            report(span.open, QStringLiteral("<%1>%2 has no closing tag </%1> after it: it reads as empty")
                                  .arg(name, where));
        if (m_values)
            m_values->insert(path.isEmpty() ? name : path + u'/' + name, content(span).toString());
        return span;
    }

    ElementSpan wholeText() const
    {
        return ElementSpan{0, 0, m_text.size()};
    }

    void checkEncoding()
    {
        if (m_clean)
            return;
        const qsizetype bad = qMax<qsizetype>(0, m_text.indexOf(QChar::ReplacementCharacter));
        report(bad, m_encoding == CodePageText::Encoding::Utf8
                        ? QStringLiteral("bytes that are not valid UTF-8 (first here): they read as U+FFFD")
                        : QStringLiteral("bytes that are neither UTF-8 nor code page 932 (first here): "
                                         "they read as U+FFFD"));
    }

    void checkColors()
    {
        const QString path = QStringLiteral("ColorSetting");
        const ElementSpan section = lookUp(wholeText(), QString(), path);
        if (!section.hasOpen()) {
            report(0, QStringLiteral("no <ColorSetting> section: every colour of the palette is black"));
            return;
        }
        if (!section.isComplete())
            return;
        for (const QString &name : {QStringLiteral("Base"), QStringLiteral("Title"), QStringLiteral("Label"),
                                    QStringLiteral("Back")}) {
            const ElementSpan span = lookUp(section, path, name, QStringLiteral(" in ColorSetting"));
            if (!span.isComplete())
                continue;
            const QStringView value = content(span);
            if (SpansLines(value))
                report(span.open, QStringLiteral("the colour %1 spans lines: write it on the line of its tags").arg(name));
            else if (!IsColorText(value))
                report(span.open, QStringLiteral("the colour %1 %2 is not six hexadecimal digits RRGGBB")
                                      .arg(name, Quoted(value)));
        }
    }

    void checkData()
    {
        const ElementSpan section = lookUp(wholeText(), QString(), QStringLiteral("DataSetting"));
        if (!section.hasOpen()) {
            report(0, QStringLiteral("no <DataSetting> section: the palette has no title and no buttons"));
            return;
        }
        if (!section.isComplete())
            return;
        const QList<ItemTag> tags = itemTags(section);
        checkItemTags(tags);
        checkWindowSettings(section, tags);
        for (qint32 number = 1; number <= kLastItemNumber; ++number)
            checkItem(section, number);
    }

    // Every "<ItemDIGITS>" of the section with the first "</ItemDIGITS>" after it. The closing
    // tags are collected in the same pass, so a section of 150,000 unclosed tags takes one scan
    // instead of one search of the rest of the section per tag (69 s for 1 MB before).
    QList<ItemTag> itemTags(const ElementSpan &section) const
    {
        const QStringView range = QStringView(m_text).sliced(section.contentStart, section.contentLength());
        QList<ItemTag> tags;
        QHash<QString, QList<qsizetype>> closes; // by number, in the order of the text
        for (qsizetype p = range.indexOf(u'<'); p >= 0; p = range.indexOf(u'<', p + 1)) {
            const bool isClose = p + 1 < range.size() && range.at(p + 1) == u'/';
            const qsizetype name = p + (isClose ? 2 : 1);
            if (!range.sliced(name).startsWith(u"Item"))
                continue;
            const qsizetype digits = name + 4;
            qsizetype q = digits;
            while (q < range.size() && range.at(q) >= u'0' && range.at(q) <= u'9')
                ++q;
            if (q == digits || q >= range.size() || range.at(q) != u'>')
                continue;
            const QString number = range.sliced(digits, q - digits).toString();
            if (isClose) {
                closes[number].append(section.contentStart + p);
            } else {
                ItemTag tag;
                tag.open = section.contentStart + p;
                tag.number = number;
                tags.append(tag);
            }
        }
        QHash<QString, qsizetype> next; // the first close of each number not yet passed
        for (ItemTag &tag : tags) {
            const QList<qsizetype> &list = closes[tag.number];
            qsizetype &at = next[tag.number];
            while (at < list.size() && list[at] < tag.open)
                ++at;
            tag.end = at < list.size() ? list[at] : -1;
        }
        return tags;
    }

    void checkItemTags(const QList<ItemTag> &tags)
    {
        QHash<QString, qsizetype> firstOpen;
        for (const ItemTag &tag : tags) {
            const QString element = QStringLiteral("Item") + tag.number;
            if (tag.number.size() > 1 && tag.number.startsWith(u'0')) {
                report(tag.open, QStringLiteral("%1 is never read: item numbers are written without leading zeros")
                                     .arg(element));
            } else if (tag.number == QStringLiteral("0")) {
                report(tag.open, QStringLiteral("Item0 is never read: items are numbered from Item1"));
            } else if (tag.number.size() > 3 || tag.number.toInt() > kLastItemNumber) {
                report(tag.open, QStringLiteral("%1 is never read: the palette reads Item1 to Item%2")
                                     .arg(element).arg(kLastItemNumber));
            } else if (firstOpen.contains(tag.number)) {
                report(tag.open, QStringLiteral("a second %1 is never read: only the first one, on line %2, counts")
                                     .arg(element).arg(m_lines->lineOf(firstOpen.value(tag.number))));
            } else {
                firstOpen.insert(tag.number, tag.open);
            }
        }
    }

    void checkWindowSettings(const ElementSpan &section, const QList<ItemTag> &tags)
    {
        for (const QString &name : {QStringLiteral("Title"), QStringLiteral("Link"), QStringLiteral("Version")}) {
            const ElementSpan span = lookUp(section, QStringLiteral("DataSetting"), name, QStringLiteral(" in DataSetting"));
            if (!span.isComplete())
                continue;
            const auto holder = std::find_if(tags.begin(), tags.end(), [&](const ItemTag &tag) {
                return tag.end >= 0 && tag.open < span.open && span.open < tag.end;
            });
            if (holder != tags.end())
                report(span.open, QStringLiteral("the <%1> inside Item%2 is the palette's %1: the first <%1> in "
                                                 "DataSetting wins, so write the section's own before the items")
                                      .arg(name, holder->number));
            const QStringView value = content(span);
            if (name == QStringLiteral("Version")) {
                const QString lower = value.toString().toLower();
                if (!value.isEmpty() && lower != QStringLiteral("true") && lower != QStringLiteral("false"))
                    report(span.open, QStringLiteral("Version %1 does not show the version: only \"true\" does, "
                                                     "in any letter case and without blanks")
                                          .arg(Quoted(value)));
            } else if (SpansLines(value)) {
                report(span.open, QStringLiteral("the %1 spans lines: write it on the line of its tags").arg(name));
            }
        }
    }

    void checkItem(const ElementSpan &section, qint32 number)
    {
        const QString element = QStringLiteral("Item%1").arg(number);
        const QString sectionPath = QStringLiteral("DataSetting");
        const ElementSpan item = lookUp(section, sectionPath, element);
        if (item.contentLength() == 0)
            return;
        const QString path = sectionPath + u'/' + element;
        const QString where = QStringLiteral(" in ") + element;
        const ElementSpan name = lookUp(item, path, QStringLiteral("Name"), where);
        const ElementSpan reg = lookUp(item, path, QStringLiteral("Reg"), where);
        const ElementSpan data = lookUp(item, path, QStringLiteral("Data"), where);
        lookUp(item, path, QStringLiteral("Replace"), where);

        if (name.contentLength() == 0) {
            if (!IsBlank(content(item)))
                report(item.open, QStringLiteral("%1 has no Name: the palette makes no button for it").arg(element));
        } else {
            if (reg.contentLength() == 0 && data.contentLength() == 0)
                report(item.open, QStringLiteral("%1 has a Name but neither Reg nor Data: its button gives an empty text")
                                      .arg(element));
            if (SpansLines(content(name)))
                report(name.open, QStringLiteral("the Name of %1 spans lines: write it on the line of its tags")
                                      .arg(element));
        }
        if (reg.contentLength() > 0)
            checkPattern(element, reg);
    }

    // Compiled the way the palette compiles it, on an empty text, so that only the pattern counts.
    void checkPattern(const QString &element, const ElementSpan &reg)
    {
        RegExp expression;
        expression.IgnoreCase(false);
        expression.Global(true);
        expression.Pattern(content(reg).toString());
        try {
            expression.Replace(QString(), QString());
        } catch (const RegExpError &e) {
            const QString reason = e.engineMessage().isEmpty() ? e.description() : e.engineMessage();
            if (e.patternOffset() >= 0) {
                const qsizetype at = reg.contentStart + qMin<qsizetype>(e.patternOffset(), reg.contentLength());
                report(at, QStringLiteral("the Reg of %1 is not a valid pattern: %2 at position %3")
                               .arg(element, reason)
                               .arg(e.patternOffset()));
            } else {
                report(reg.open, QStringLiteral("the Reg of %1 is not a valid pattern: %2").arg(element, reason));
            }
        } catch (const RuntimeError &e) {
            report(reg.open, QStringLiteral("the Reg of %1 cannot be used: %2").arg(element, e.description()));
        }
    }

    CheckedValues *m_values = nullptr;
    QString m_text;
    CodePageText::Encoding m_encoding = CodePageText::Encoding::CodePage932;
    bool m_clean = true;
    std::unique_ptr<LineIndex> m_lines;
    QList<Finding> m_findings;
};

}

LineIndex::LineIndex(QStringView text)
{
    m_lineStarts.append(0);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        else if (c != u'\r' && c != u'\n')
            continue;
        m_lineStarts.append(i + 1);
    }
}

qint32 LineIndex::lineOf(qsizetype offset) const
{
    const auto next = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
    return qint32(next - m_lineStarts.begin());
}

QList<Finding> CheckSettings(const QByteArray &bytes, CheckedValues *values)
{
    return Checker(bytes, values).run();
}
