#pragma once

#include "base/mdl_ErrorFunction.h"
#include "regexp/RegExp.h"
#include "xml/Cls_XML.h"

#include <QDate>
#include <QList>
#include <QString>

class CancelToken;

// The outcome of producing an item's text: the text, or why it could not be produced.
struct GeneratedText {
    enum class Outcome {
        Made,
        NoItem,        // the item is missing or empty
        ReadFailed,    // positioning on the item or reading it failed
        RewriteFailed, // the pattern is invalid or its work ran into a limit
        Cancelled,     // the caller's cancel token stopped the work
    };

    Outcome outcome = Outcome::Made;
    QString text;
    // When not made: the run-time error, and for a pattern with a syntax error the position in
    // the pattern (from 0), otherwise -1.
    ErrorRecord error;
    qint32 patternOffset = -1;
    // For a failed rewrite, the regular-expression engine's error code (PCRE2's) and its own
    // (English) message, else 0 and empty.
    int engineCode = 0;
    QString engineMessage{};

    bool ok() const { return outcome == Outcome::Made; }
    // Inside a catch block: the failure of the work that raised the exception being handled;
    // Cancelled for a stop by the cancel token, else RewriteFailed.
    static GeneratedText FromTrappedError();
};

// An item that gets a button: its index (0 is Item1), its caption, and what it does: rewrite the
// given text (it has a Reg), give its fixed text (a Data) or give an empty text (neither).
struct ButtonItem {
    enum class Mode { Replace, Text, Empty };

    qint32 index = 0;
    QString name;
    Mode mode = Mode::Empty;
};

// How a load found a section in the file text: both tags, an opening tag alone (the file ends
// inside it, as a save that is still being written does), or no opening tag.
enum class SectionState { Missing, Unclosed, Complete };

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
    // What LoadFile does with the file's text once it is read, for a text read otherwise: the
    // date placeholders filled in and the sections taken. The text as loaded goes to loadedText
    // when given. False when a section could not be taken.
    bool LoadFileText(const QString &strA_FileText, QString *loadedText = nullptr);
    // Every "@@@@/@@/@@" and "@@@@.@@.@@" replaced by the date.
    static QString ReplaceDatePlaceholders(const QString &strA_Text, const QDate &date);
    // How the last LoadFile found ColorSetting and DataSetting; Missing when it read nothing.
    SectionState ColorSectionState() const;
    SectionState DataSectionState() const;

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
    // The items that get a button, in button order: those of Item1 to Item100 that have a Name.
    // The cursor stays where the last positioning left it.
    QList<ButtonItem> ButtonItems();

    // The item's text: the given text rewritten by its Reg, else its Data. A missing item, an
    // invalid pattern or a work limit is a failure with its reason, so that callers never mistake
    // it for an empty result. A cancel token lets another thread stop the rewrite. Never throws.
    GeneratedText GenerateText(qint32 lngA_Index, const QString &strA_Data, const CancelToken *cancel = nullptr);
    // GenerateText with the silent contract: any failure gives an empty text; a failed rewrite is
    // reported through ReportError, a failure to read the item goes to the caller.
    QString DataGet(qint32 lngA_Index, const QString &strA_Data);
    // The given text rewritten by the item's Reg (an empty Reg matches everywhere); the given
    // text when the item is missing; an empty text, reported through ReportError, on failure.
    QString RegExpExecute(qint32 lngA_Index, const QString &strA_Data);
    // The expression an item's Reg makes: case-sensitive, every match replaced.
    static RegExp ItemExpression(const QString &strA_Pattern);

private:
    // The positioned item's pattern applied to the text.
    GeneratedText RewriteText(const QString &strA_Data, const CancelToken *cancel = nullptr);
    // Report failures as the message switch says: one that was made into a result, and inside a
    // catch block the one being handled.
    void ReportFailure(const GeneratedText &failure) const;
    void ReportError() const;

    QString m_path;
    QString m_name;
    bool m_msgDisplayFlg = false;
    Cls_XML m_colorStore;
    Cls_XML m_dataStore;
    Cls_XML m_itemStore;
    bool m_isPrepare = false;
    SectionState m_colorSection = SectionState::Missing;
    SectionState m_dataSection = SectionState::Missing;
};
