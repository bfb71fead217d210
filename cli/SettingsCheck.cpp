#include "cli/SettingsCheck.h"

#include "regexp/RegExp.h"
#include "settings/Cls_MySettingFile.h"
#include "settings/ColorText.h"
#include "settings/Hotkey.h"
#include "settings/SettingsSchema.h"
#include "xml/CodePageText.h"
#include "xml/ElementSpan.h"
#include "xml/TextHelpers.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

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

qsizetype FirstNonAscii(QStringView text)
{
    const auto at = std::find_if(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x80; });
    return at == text.end() ? 0 : at - text.begin();
}

// Up to a dozen characters from at, not past the end of the line or the next tag.
QString Excerpt(QStringView text, qsizetype at)
{
    const QStringView part = text.sliced(at).first(qMin<qsizetype>(12, text.size() - at));
    const auto end = std::find_if(part.begin(), part.end(), [](QChar c) { return c == u'\r' || c == u'\n' || c == u'<'; });
    return part.first(end - part.begin()).toString();
}

// The elements the palette reads, by section, that hold text; the items hold elements.
const QStringList kDataValues = SettingsSchema::WindowElements + SettingsSchema::ItemElements;

// "Item" and digits: an item element, or one that looks like one (Item0, Item01, Item101).
bool IsItemName(QStringView name)
{
    return SettingsSchema::ReadItemElement(name) != SettingsSchema::ItemElementReading::NotAnItem;
}

// Edits between two names, a swap of neighbours counting as one ("Versoin").
qsizetype EditDistance(QStringView a, QStringView b)
{
    QList<QList<qsizetype>> d(a.size() + 1, QList<qsizetype>(b.size() + 1));
    for (qsizetype i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (qsizetype j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (qsizetype i = 1; i <= a.size(); ++i) {
        for (qsizetype j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a.at(i - 1) == b.at(j - 1) ? 0 : 1)});
            if (i > 1 && j > 1 && a.at(i - 1) == b.at(j - 2) && a.at(i - 2) == b.at(j - 1))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

// The known name nearest to a name the palette does not read: at most one edit in three letters.
QString NearestName(QStringView name, const QStringList &known)
{
    QString best;
    if (name.size() > 40)
        return best;
    qsizetype bestDistance = qMax<qsizetype>(1, name.size() / 3) + 1;
    // "Itme3" is near "Item3": the digits are kept.
    qsizetype digits = name.size();
    while (digits > 0 && name.at(digits - 1) >= u'0' && name.at(digits - 1) <= u'9')
        --digits;
    QStringList candidates = known;
    if (digits < name.size())
        candidates.append(SettingsSchema::ItemPrefix + name.sliced(digits).toString());
    for (const QString &candidate : candidates) {
        const qsizetype distance = EditDistance(name, candidate);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best;
}

// The character references a value may hold, which the palette does not decode.
const QRegularExpression kEntity(QStringLiteral("&(?:amp|lt|gt|quot|apos|nbsp|#[0-9]+|#x[0-9A-Fa-f]+);"));

// An opening tag "<ItemDIGITS>" of the data section, with its number as written.
struct ItemTag {
    qsizetype open = -1;
    qsizetype end = -1;
    QString number;
};

class Checker {
public:
    // The text is the one the palette loads: read by its XML store, loaded by its model.
    Checker(const QByteArray &bytes, CheckedValues *values) : m_values(values)
    {
        CodePageText::DecodedText decoded = Cls_XML::DecodeFileText(bytes);
        m_encoding = decoded.encoding;
        m_clean = decoded.clean;
        m_otherReading = std::move(decoded.otherReading);
        Cls_MySettingFile().LoadFileText(decoded.text, &m_text);
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
    void report(qsizetype offset, const QString &message) { m_findings.append({m_lines->lineOf(offset), message}); }

    QStringView content(const ElementSpan &span) const { return span.content(m_text); }

    // A lookup of the palette inside the element at path ("DataSetting/Item3"): reports an opening
    // tag left without its closing tag, which makes the value read as empty; where names the
    // element in that message (" in Item3").
    ElementSpan lookUp(const ElementSpan &within, const QString &path, const QString &name, const QString &where = QString())
    {
        const ElementSpan span = FindElement(m_text, name, within.contentStart, within.contentStart + within.contentLength());
        if (span.hasOpen() && !span.isComplete())
            report(span.open, QStringLiteral("<%1>%2 has no closing tag </%1> after it: it reads as empty").arg(name, where));
        if (m_values)
            m_values->insert(path.isEmpty() ? name : path + u'/' + name, content(span).toString());
        return span;
    }

    ElementSpan wholeText() const { return ElementSpan{0, 0, m_text.size()}; }

    void checkEncoding()
    {
        if (!m_otherReading.isEmpty()) {
            const bool utf8 = m_encoding == CodePageText::Encoding::Utf8;
            const qsizetype at = FirstNonAscii(m_text);
            report(at, QStringLiteral("the bytes are valid as UTF-8 and as code page 932: read as %1 (\"%2\"), not as %3 "
                                      "(\"%4\"); a byte-order mark, or saving as code page 932, removes the doubt")
                           .arg(utf8 ? QStringLiteral("UTF-8") : QStringLiteral("code page 932"), Excerpt(m_text, at),
                                utf8 ? QStringLiteral("code page 932") : QStringLiteral("UTF-8"),
                                Excerpt(m_otherReading, FirstNonAscii(m_otherReading))));
        }
        if (m_clean)
            return;
        const qsizetype bad = qMax<qsizetype>(0, m_text.indexOf(QChar::ReplacementCharacter));
        report(bad, m_encoding == CodePageText::Encoding::Utf8
                        ? QStringLiteral("bytes that are not valid UTF-8 (first here): they read as U+FFFD")
                        : QStringLiteral("bytes that are neither UTF-8 nor code page 932 (first here): "
                                         "they read as U+FFFD"));
    }

    // A value holding "&amp;", "&lt;" and the like: the palette shows and copies them as written.
    void checkEntities(const ElementSpan &span, const QString &what)
    {
        if (!span.isComplete())
            return;
        const QRegularExpressionMatch match = kEntity.match(content(span).toString());
        if (!match.hasMatch())
            return;
        report(span.contentStart + match.capturedStart(),
               QStringLiteral("%1 holds the reference %2, which is not decoded: the palette "
                              "shows and copies it as written; write the character itself")
                   .arg(what, match.captured()));
    }

    // Every tag inside the section that the palette does not read as its author meant: another
    // letter case, blanks or attributes inside the brackets, a self-closing tag, a misspelt or
    // unknown name. The contents of the values are skipped, as they hold text (a Reg may hold
    // "(?<year>...)", a Data "<b>"); comments and declarations are skipped too.
    void checkTags(const ElementSpan &section, const QStringList &values, bool hasItems)
    {
        const QStringView text(m_text);
        const qsizetype end = section.contentStart + section.contentLength();
        QStringList known = values;
        if (hasItems)
            known.append(SettingsSchema::ItemPrefix);
        // Searches only move forward, so that a section of 150,000 unclosed or broken tags is
        // still read once: the next ">" and, by name, the last closing tag found.
        qsizetype nextBracket = -1;
        struct CloseSearch {
            qsizetype from;
            qsizetype found;
        };
        QHash<QString, CloseSearch> closes;
        const auto closeAfter = [&](const QString &name, qsizetype from) {
            auto it = closes.find(name);
            if (it == closes.end() || from < it->from || (it->found >= 0 && it->found < from)) {
                const qsizetype found = text.indexOf(CloseTag(name), from);
                it = closes.insert(name, CloseSearch{from, found >= 0 && found < end ? found : -1});
            }
            return it->found;
        };
        for (qsizetype p = text.indexOf(u'<', section.contentStart); p >= 0 && p < end; p = text.indexOf(u'<', p + 1)) {
            if (text.sliced(p).startsWith(u"<!--")) {
                const qsizetype close = text.indexOf(u"-->", p);
                if (close < 0 || close >= end)
                    return;
                p = close;
                continue;
            }
            if (p + 1 < end && (text.at(p + 1) == u'!' || text.at(p + 1) == u'?'))
                continue;
            const bool isClose = p + 1 < end && text.at(p + 1) == u'/';
            qsizetype q = p + (isClose ? 2 : 1);
            const qsizetype nameStart = q;
            while (q < end && (text.at(q).isLetterOrNumber() || text.at(q) == u'_' || text.at(q) == u'-' || text.at(q) == u'.'))
                ++q;
            if (q == nameStart || q >= end)
                continue;
            const QString name = text.sliced(nameStart, q - nameStart).toString();
            if (nextBracket < q) {
                nextBracket = text.indexOf(u'>', q);
                if (nextBracket < 0 || nextBracket >= end)
                    return;
            }
            const qsizetype tagEnd = nextBracket;
            const bool isExact = text.at(q) == u'>';
            const bool isKnown = values.contains(name) || (hasItems && IsItemName(name));
            if (isKnown && isExact) {
                // A value: its content is text, not elements.
                if (!isClose && values.contains(name)) {
                    const qsizetype close = closeAfter(name, tagEnd);
                    if (close >= 0)
                        p = close;
                }
                continue;
            }
            // Closing tags follow their opening tags, which are reported.
            if (isClose)
                continue;
            const QString written = text.sliced(p, qMin<qsizetype>(tagEnd + 1 - p, 40)).toString();
            QString exactName;
            for (const QString &candidate : known) {
                if (candidate.compare(name, Qt::CaseInsensitive) == 0)
                    exactName = candidate;
            }
            const qsizetype prefix = SettingsSchema::ItemPrefix.size();
            if (hasItems && exactName.isEmpty() && name.size() > prefix
                && name.first(prefix).compare(SettingsSchema::ItemPrefix, Qt::CaseInsensitive) == 0
                && IsItemName(SettingsSchema::ItemPrefix + name.sliced(prefix)))
                exactName = SettingsSchema::ItemPrefix + name.sliced(prefix);
            const QString proper = isKnown ? name : exactName;
            if (!proper.isEmpty()) {
                const QString right = u'<' + proper + u'>';
                if (!isExact)
                    report(p, QStringLiteral("the tag %1 is not recognised: tags carry no blanks, attributes or slash; "
                                             "write %2")
                                  .arg(written, right));
                else
                    report(
                        p,
                        QStringLiteral("the tag %1 is not recognised: names are case-sensitive; write %2").arg(written, right));
                continue;
            }
            const QString nearest = NearestName(name, known);
            report(p, nearest.isEmpty() ? QStringLiteral("<%1> is never read: the palette knows no such element here").arg(name)
                                        : QStringLiteral("<%1> is never read: did you mean <%2>?").arg(name, nearest));
            // What it holds is its own business.
            const qsizetype close = closeAfter(name, tagEnd);
            if (close >= 0)
                p = close;
        }
    }

    void checkColors()
    {
        const QString path = SettingsSchema::ColorSetting;
        const ElementSpan section = lookUp(wholeText(), QString(), path);
        if (!section.hasOpen()) {
            report(0, QStringLiteral("no <ColorSetting> section: every colour of the palette is black"));
            return;
        }
        if (!section.isComplete())
            return;
        checkTags(section, SettingsSchema::ColorElements, false);
        for (const QString &name : SettingsSchema::ColorElements) {
            const ElementSpan span = lookUp(section, path, name, QStringLiteral(" in ColorSetting"));
            if (!span.isComplete())
                continue;
            const QStringView value = content(span);
            if (SpansLines(value))
                report(span.open, QStringLiteral("the colour %1 spans lines: write it on the line of its tags").arg(name));
            else if (!IsColorText(value))
                report(span.open,
                       QStringLiteral("the colour %1 %2 is not six hexadecimal digits RRGGBB").arg(name, Quoted(value)));
        }
    }

    void checkData()
    {
        const ElementSpan section = lookUp(wholeText(), QString(), SettingsSchema::DataSetting);
        if (!section.hasOpen()) {
            report(0, QStringLiteral("no <DataSetting> section: the palette has no title and no buttons"));
            return;
        }
        if (!section.isComplete())
            return;
        const QList<ItemTag> tags = itemTags(section);
        checkItemTags(tags);
        checkTags(section, kDataValues, true);
        checkWindowSettings(section, tags);
        for (qint32 index = 0; index < SettingsSchema::ItemCount; ++index)
            checkItem(section, index);
        checkKeys();
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
            if (!range.sliced(name).startsWith(SettingsSchema::ItemPrefix))
                continue;
            const qsizetype digits = name + SettingsSchema::ItemPrefix.size();
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
            const QString element = SettingsSchema::ItemPrefix + tag.number;
            switch (SettingsSchema::ReadItemElement(element)) {
            case SettingsSchema::ItemElementReading::LeadingZero:
                report(tag.open, QStringLiteral("%1 is never read: item numbers are written without leading zeros").arg(element));
                break;
            case SettingsSchema::ItemElementReading::FromZero:
                report(tag.open, QStringLiteral("Item0 is never read: items are numbered from Item1"));
                break;
            case SettingsSchema::ItemElementReading::BeyondLast:
            case SettingsSchema::ItemElementReading::NotAnItem:
                report(tag.open, QStringLiteral("%1 is never read: the palette reads Item1 to %2")
                                     .arg(element, SettingsSchema::ItemElement(SettingsSchema::ItemCount - 1)));
                break;
            case SettingsSchema::ItemElementReading::Item:
                if (firstOpen.contains(tag.number)) {
                    report(tag.open, QStringLiteral("a second %1 is never read: only the first one, on line %2, counts")
                                         .arg(element)
                                         .arg(m_lines->lineOf(firstOpen.value(tag.number))));
                } else {
                    firstOpen.insert(tag.number, tag.open);
                }
                break;
            }
        }
    }

    void checkWindowSettings(const ElementSpan &section, const QList<ItemTag> &tags)
    {
        for (const QString &name : SettingsSchema::WindowElements) {
            const ElementSpan span = lookUp(section, SettingsSchema::DataSetting, name, QStringLiteral(" in DataSetting"));
            if (!span.isComplete())
                continue;
            const auto holder = std::find_if(tags.begin(), tags.end(), [&](const ItemTag &tag) {
                return tag.end >= 0 && tag.open < span.open && span.open < tag.end;
            });
            if (holder != tags.end())
                report(span.open, QStringLiteral("the <%1> inside Item%2 is the palette's %1: the first <%1> in "
                                                 "DataSetting wins, so write the section's own before the items")
                                      .arg(name, holder->number));
            if (name == SettingsSchema::JoinKey || name == SettingsSchema::PaletteKey) {
                m_sectionKeys.append(
                    {{name == SettingsSchema::JoinKey ? HotkeyAssignment::Target::Join : HotkeyAssignment::Target::Palette,
                      -1,
                      content(span).toString(),
                      {}},
                     span.open});
            }
            if (name != SettingsSchema::Version)
                checkEntities(span, QStringLiteral("the ") + name);
            const QStringView value = content(span);
            if (name == SettingsSchema::Version) {
                // "false", like an empty Version, says what it does.
                if (!value.isEmpty() && !SettingsSchema::IsSwitchOn(value)
                    && value.compare(QStringLiteral("false"), Qt::CaseInsensitive) != 0)
                    report(span.open, QStringLiteral("Version %1 does not show the version: only \"true\" does, "
                                                     "in any letter case and without blanks")
                                          .arg(Quoted(value)));
            } else if (SpansLines(value)) {
                report(span.open, QStringLiteral("the %1 spans lines: write it on the line of its tags").arg(name));
            }
        }
    }

    void checkItem(const ElementSpan &section, qint32 index)
    {
        const QString element = SettingsSchema::ItemElement(index);
        const QString &sectionPath = SettingsSchema::DataSetting;
        const ElementSpan item = lookUp(section, sectionPath, element);
        if (item.contentLength() == 0)
            return;
        const QString path = sectionPath + u'/' + element;
        const QString where = QStringLiteral(" in ") + element;
        const ElementSpan name = lookUp(item, path, SettingsSchema::Name, where);
        const ElementSpan reg = lookUp(item, path, SettingsSchema::Reg, where);
        const ElementSpan data = lookUp(item, path, SettingsSchema::Data, where);
        const ElementSpan replace = lookUp(item, path, SettingsSchema::Replace, where);
        checkEntities(name, QStringLiteral("the Name of ") + element);
        checkEntities(reg, QStringLiteral("the Reg of ") + element);
        checkEntities(replace, QStringLiteral("the Replace of ") + element);
        checkEntities(data, QStringLiteral("the Data of ") + element);

        const ElementSpan key = lookUp(item, path, SettingsSchema::Key, where);
        const ElementSpan paste = lookUp(item, path, SettingsSchema::Paste, where);
        const ElementSpan restore = lookUp(item, path, SettingsSchema::Restore, where);
        checkSwitch(paste, QStringLiteral("Paste"), where);
        checkSwitch(restore, QStringLiteral("Restore"), where);
        const bool hasKey = !content(key).trimmed().isEmpty();
        if (SettingsSchema::IsSwitchOn(content(restore)) && !SettingsSchema::IsSwitchOn(content(paste)))
            report(restore.open, QStringLiteral("Restore in %1 does nothing without <Paste>true</Paste>: only a paste "
                                                "gives the clipboard back")
                                     .arg(element));
        if (SettingsSchema::IsSwitchOn(content(paste)) && !hasKey)
            report(paste.open,
                   QStringLiteral("Paste in %1 does nothing without a Key: only a run by its key pastes").arg(element));

        if (name.contentLength() == 0) {
            if (!IsBlank(content(item)))
                report(item.open, QStringLiteral("%1 has no Name: the palette makes no button for it").arg(element));
            if (hasKey)
                report(key.open, QStringLiteral("the Key of %1 does nothing: an item without a Name has no button").arg(element));
        } else {
            m_itemKeys.append({{HotkeyAssignment::Target::Item, index, content(key).toString(), {}}, key.open});
            if (reg.contentLength() == 0 && data.contentLength() == 0)
                report(item.open,
                       QStringLiteral("%1 has a Name but neither Reg nor Data: its button gives an empty text").arg(element));
            if (SpansLines(content(name)))
                report(name.open, QStringLiteral("the Name of %1 spans lines: write it on the line of its tags").arg(element));
        }
        if (reg.contentLength() > 0)
            checkPattern(element, reg);
    }

    // Compiled the way the palette compiles it, on an empty text, so that only the pattern counts.
    void checkPattern(const QString &element, const ElementSpan &reg)
    {
        const RegExp expression = Cls_MySettingFile::ItemExpression(content(reg).toString());
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

    // A switch other than "true" and "false" (an empty one is off too).
    void checkSwitch(const ElementSpan &span, const QString &name, const QString &where)
    {
        const QStringView value = content(span);
        if (!value.isEmpty() && !SettingsSchema::IsSwitchOn(value)
            && value.compare(QStringLiteral("false"), Qt::CaseInsensitive) != 0)
            report(span.open, QStringLiteral("%1%2 %3 is off: only \"true\" switches it on, in any letter case and without "
                                             "blanks")
                                  .arg(name, where, Quoted(value)));
    }

    // The keys of the file as the palette takes them: one that is not a key, or the second of two
    // equal keys, is reported where it stands.
    void checkKeys()
    {
        QList<WrittenKey> written = m_itemKeys;
        written += m_sectionKeys;
        QList<HotkeyAssignment> assignments;
        for (const WrittenKey &key : std::as_const(written))
            assignments.append(key.assignment);
        const auto offsetOf = [&](const HotkeyAssignment &assignment) {
            for (const WrittenKey &key : std::as_const(written)) {
                if (key.assignment.target == assignment.target && key.assignment.item == assignment.item)
                    return key.offset;
            }
            return qsizetype(0);
        };
        for (const HotkeyRefusal &refusal : PlanHotkeys(assignments).refusals) {
            const QString what = KeyOwner(refusal.assignment);
            const QString written = Quoted(refusal.assignment.written.trimmed());
            switch (refusal.reason) {
            case HotkeyRefusal::Reason::Unreadable:
                report(offsetOf(refusal.assignment), QStringLiteral("%1 %2 is not a key: write modifiers and one key joined by "
                                                                    "+, such as Ctrl+Alt+1")
                                                         .arg(what, written));
                break;
            case HotkeyRefusal::Reason::NoModifier:
                report(offsetOf(refusal.assignment), QStringLiteral("%1 %2 has no Ctrl, Alt or Meta: it would take that key "
                                                                    "from typing everywhere")
                                                         .arg(what, written));
                break;
            case HotkeyRefusal::Reason::Duplicate:
                report(offsetOf(refusal.assignment), QStringLiteral("%1 %2 is %3 already, on line %4: only that one works")
                                                         .arg(what, written, KeyOwner(refusal.first))
                                                         .arg(m_lines->lineOf(offsetOf(refusal.first))));
                break;
            }
        }
    }

    static QString KeyOwner(const HotkeyAssignment &assignment)
    {
        switch (assignment.target) {
        case HotkeyAssignment::Target::Join: return QStringLiteral("the JoinKey");
        case HotkeyAssignment::Target::Palette: return QStringLiteral("the PaletteKey");
        case HotkeyAssignment::Target::Item: break;
        }
        return QStringLiteral("the Key of ") + SettingsSchema::ItemElement(assignment.item);
    }

    struct WrittenKey {
        HotkeyAssignment assignment;
        qsizetype offset = 0;
    };
    // The buttons' keys in button order, then the section's own, as the palette takes them.
    QList<WrittenKey> m_itemKeys;
    QList<WrittenKey> m_sectionKeys;
    CheckedValues *m_values = nullptr;
    QString m_text;
    CodePageText::Encoding m_encoding = CodePageText::Encoding::CodePage932;
    bool m_clean = true;
    QString m_otherReading;
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
