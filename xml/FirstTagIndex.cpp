#include "xml/FirstTagIndex.h"

namespace {

// Longer names are rare, and indexing them could cost memory out of all proportion to the text.
constexpr qsizetype kLongestIndexedName = 64;
// A shorter text (one item's own elements) is searched directly: a palette with a hundred items
// would otherwise build a hundred indexes, each for a handful of questions.
constexpr qsizetype kShortestIndexedText = 1024;

// The first "<name>" in text, without building the search string.
qsizetype FindTag(QStringView text, QStringView name)
{
    for (qsizetype at = text.indexOf(name, 1); at > 0; at = text.indexOf(name, at + 1)) {
        const qsizetype end = at + name.size();
        if (text[at - 1] == u'<' && end < text.size() && text[end] == u'>')
            return at - 1;
    }
    return -1;
}

}

void FirstTagIndex::reset()
{
    m_isBuilt = false;
    m_first.clear();
}

void FirstTagIndex::build(const QString &text)
{
    m_isBuilt = true;
    qsizetype nextClose = -1;
    for (qsizetype open = text.indexOf(u'<'); open >= 0; open = text.indexOf(u'<', open + 1)) {
        if (nextClose <= open) {
            nextClose = text.indexOf(u'>', open + 1);
            if (nextClose < 0)
                return;
        }
        // Each "<" opens exactly one candidate tag: the text up to the next ">".
        const qsizetype length = nextClose - open - 1;
        const QStringView name = QStringView(text).sliced(open + 1, length);
        if (length <= kLongestIndexedName && !m_first.contains(name))
            m_first.insert(name, open);
    }
}

qsizetype FirstTagIndex::find(const QString &text, const QString &name)
{
    if (text.size() < kShortestIndexedText || name.size() > kLongestIndexedName || name.contains(u'>'))
        return FindTag(text, name);
    if (!m_isBuilt)
        build(text);
    return m_first.value(QStringView(name), -1);
}
