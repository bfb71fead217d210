#include "xml/FirstTagIndex.h"

namespace {

// Longer names are rare, and indexing them could cost memory out of all proportion to the text.
constexpr qsizetype kLongestIndexedName = 64;

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
    if (name.size() > kLongestIndexedName || name.contains(u'>'))
        return text.indexOf(u'<' + name + u'>');
    if (!m_isBuilt)
        build(text);
    return m_first.value(QStringView(name), -1);
}
