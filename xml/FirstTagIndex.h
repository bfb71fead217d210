#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

// Where each opening tag of a text first stands, found in one pass over the text, so that asking
// for a hundred items of a settings section does not search the section a hundred times.
class FirstTagIndex {
public:
    // Forgets the text; the next find indexes the text it is given.
    void reset();
    // The position of the first "<name>" in text, or -1. The text must stay unchanged between
    // resets.
    qsizetype find(const QString &text, const QString &name);

private:
    void build(const QString &text);

    bool m_isBuilt = false;
    QHash<QStringView, qsizetype> m_first;
};
