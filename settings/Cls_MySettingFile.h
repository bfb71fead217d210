#pragma once

#include "xml/Cls_XML.h"

#include <QDate>
#include <QString>

// The outcome of producing an item's text: the text, or why it could not be produced.
struct GeneratedText {
    bool ok = true;
    QString text;
    // When not ok: the run-time error number and description, and for a pattern with a syntax
    // error the position in the pattern (from 0), otherwise -1.
    qint32 errorNumber = 0;
    QString error;
    qint32 patternOffset = -1;
};

// The settings model: where the settings file lies, its two sections, item access through a
// cursor, and the text that an item produces.
class Cls_MySettingFile {
public:
    Cls_MySettingFile();
    Cls_MySettingFile(const Cls_MySettingFile &) = delete;
    Cls_MySettingFile &operator=(const Cls_MySettingFile &) = delete;

    QString Path() const;
    void Path(const QString &vData);
    QString Name() const;
    void Name(const QString &vData);
    bool MsgDisplayFlg_Prop() const;
    void MsgDisplayFlg_Prop(bool vData);

    // Reads the file, fills in the date placeholders with today's local date and keeps the
    // sections ColorSetting and DataSetting. True when the file could be read.
    bool LoadFile();
    // Every "@@@@/@@/@@" and "@@@@.@@.@@" replaced by the date.
    static QString ReplaceDatePlaceholders(const QString &strA_Text, const QDate &date);

    Cls_XML &Color();
    Cls_XML &DataSet();

    // Positions the item cursor on the item with this index (0 is Item1). Throws RuntimeError
    // Overflow at the largest index.
    bool SetDataPrepare(qint32 lngIndex);
    bool isPrepare() const;

    QString GetTitle();
    QString GetLink();
    QString GetVersion();
    bool IsShowVersion();

    QString GetName();
    QString GetReg();
    QString GetReplaceString();
    QString GetData();
    bool isReg();
    bool isData();

    // The item's text: the given text rewritten by its Reg, else its Data, else empty. An invalid
    // pattern gives an empty text without a message.
    QString DataGet(qint32 lngA_Index, const QString &strA_Data);
    QString RegExpExecute(qint32 lngA_Index, const QString &strA_Data);
    // The same text as DataGet, but a missing item, an invalid pattern or a work limit is a
    // failure with its reason, so that callers never mistake it for an empty result.
    GeneratedText GenerateText(qint32 lngA_Index, const QString &strA_Data);

private:
    // Throws RegExpError when the pattern is invalid or a limit is reached.
    QString ReplaceByItemPattern(const QString &strA_Data);
    void ReportError() const;

    QString m_path;
    QString m_name;
    bool m_msgDisplayFlg = false;
    Cls_XML m_colorStore;
    Cls_XML m_dataStore;
    Cls_XML m_itemStore;
    bool m_isPrepare = false;
};
