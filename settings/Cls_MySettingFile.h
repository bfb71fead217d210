#pragma once

#include "base/mdl_ErrorFunction.h"
#include "regexp/RegExp.h"
#include "settings/Hotkey.h"
#include "xml/Cls_XML.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

class CancelToken;

// The outcome of producing an item's text: the text, or why it could not be produced.
struct GeneratedText {
    enum class Outcome {
        Made,
        NoItem, // the item is missing or empty
        ReadFailed, // positioning on the item or reading it failed
        RewriteFailed, // the pattern is invalid or its work ran into a limit
        Cancelled, // the caller's cancel token stopped the work
    };

    Outcome outcome = Outcome::Made;
    QString text;
    // When not made: the run-time error, and for a pattern with a syntax error the position in
    // the pattern (from 0), otherwise -1.
    ErrorRecord error;
    qint32 patternOffset = -1;
    // For a failed rewrite, what is wrong with the pattern and the regular-expression engine's
    // own (English) message, else none and empty.
    PatternFault patternFault = PatternFault::None;
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
    // Its global key as written (empty: none), and what a run by that key does with the result:
    // paste it where the user types, then give the clipboard back.
    QString key;
    bool isPaste = false;
    bool isRestore = false;
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
    // The global keys of the built-in button and of the palette itself, as written.
    QString GetJoinKey();
    QString GetPaletteKey();

    QString GetName();
    QString GetReg();
    QString GetReplaceString();
    QString GetData();
    QString GetKey();
    bool isReg();
    bool isData();
    bool isPaste();
    bool isRestore();
    // What the item with this index does, decided here once for the palette and tavrelo-cli
    // alike: rewrite the given text (it has a Reg), give its fixed text (a Data) or an empty
    // text (neither); nothing when there is no such item. The cursor stays on the item.
    std::optional<ButtonItem::Mode> ItemMode(qint32 lngA_Index);
    // The items that get a button, in button order: those of Item1 to Item100 that have a Name.
    // The cursor stays where the last positioning left it.
    QList<ButtonItem> ButtonItems();
    // The global keys as written, in the order they are taken when two are the same: the
    // buttons' (ButtonItems, read once by the caller) in button order, then JoinKey, then
    // PaletteKey. Items without a button have none.
    QList<HotkeyAssignment> HotkeyAssignments(const QList<ButtonItem> &buttons);

    // The text of the item for the given text: the given text rewritten by the item's Reg, else
    // its Data. The palette's buttons and tavrelo-cli take their texts from here. A missing
    // item, an invalid pattern or a work limit is a failure with its reason, so that callers
    // never mistake it for an empty result; a failed rewrite is also reported through
    // ReportError, as the message switch says. A cancel token lets another thread stop the
    // rewrite. Never throws.
    GeneratedText DataGet(qint32 lngA_Index, const QString &strA_Data, const CancelToken *cancel = nullptr);
    // The given text rewritten by the item's Reg (an empty Reg matches everywhere); the given
    // text, unchanged, when there is no such item.
    GeneratedText RegExpExecute(qint32 lngA_Index, const QString &strA_Data, const CancelToken *cancel = nullptr);
    // The expression an item's Reg makes: case-sensitive, every match replaced.
    static RegExp ItemExpression(const QString &strA_Pattern);

private:
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
