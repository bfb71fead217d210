#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

// One trap of a settings file: where it is and what the palette will do with it.
struct Finding {
    qint32 line = 1;
    QString message;
};

// Every value the check looked up, by its path: "ColorSetting/Base", "DataSetting/Title",
// "DataSetting/Item3/Name". The palette reads the same values.
using CheckedValues = QHash<QString, QString>;

// Reads the bytes exactly as the palette reads its settings file (encoding detection, line
// joining, date placeholders, first-match element lookup) and lists what will not work as it
// looks, in the order of the file. Fills values when given.
QList<Finding> CheckSettings(const QByteArray &bytes, CheckedValues *values = nullptr);

// Line numbers as an editor shows them: CR LF, a lone CR and a lone LF each end a line.
class LineIndex {
public:
    explicit LineIndex(QStringView text);
    // The line (from 1) that holds the character at offset (from 0).
    qint32 lineOf(qsizetype offset) const;

private:
    QList<qsizetype> m_lineStarts;
};
