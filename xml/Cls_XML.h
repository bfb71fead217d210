#pragma once

#include "xml/CodePageText.h"
#include "xml/FirstTagIndex.h"

#include <QList>
#include <QString>

#include <memory>

// A small store for the settings file's XML dialect. It reads a whole text file, finds elements
// by a plain search for "<name>" and "</name>", keeps an ordered list of named items and writes
// that list as an indented file. Files are code page 932 (UTF-8 files are recognised on reading).
class Cls_XML {
public:
    Cls_XML();
    ~Cls_XML();
    Cls_XML(const Cls_XML &) = delete;
    Cls_XML &operator=(const Cls_XML &) = delete;

    // The child store one nesting level deeper, made by InitElement_bln; owned by this store.
    std::unique_ptr<Cls_XML> Element;

    void TopTagName_Prop(const QString &vData);
    QString SaveFilePath_Prop() const;
    void SaveFilePath_Prop(const QString &vData);
    bool MsgDisplayFlg_Prop() const;
    void MsgDisplayFlg_Prop(bool vData);
    qint32 IndentLevel_Prop() const;
    void IndentLevel_Prop(qint32 vData);
    bool IsTopLevel() const;
    QString FileData() const;
    void FileData(const QString &vData);

    // The item list.
    bool InitItem_bln();
    bool AddItem_bln(const QString &strA_Key, const QString &strA_Data);
    bool SetItem_bln(const QString &strA_Key, const QString &strA_Data);
    QString GetItem_str(const QString &strA_Key) const;
    QString GetItemAll_str(const QString &strA_Indent) const;
    qint32 ItemCount() const;

    // Reading and the block that the lookups search.
    bool OnlyReadFile_bln(const QString &strA_FileName);
    bool ReadFile_bln(const QString &strA_FileName, bool isSaveData);
    bool SetFileItem(const QString &strA_FileData, const QString &strA_Key);
    QString GetFileItem_str(const QString &strA_Key);
    QString Gets(const QString &strA_Key);
    // A file's bytes as reading takes them: decoded (code page 932, UTF-8 or UTF-16 by its
    // byte-order mark) and joined into lines that each end in CR LF. Reading skips the other
    // reading, which only the settings check tells.
    static CodePageText::DecodedText DecodeFileText(const QByteArray &bytes,
                                                    CodePageText::OtherReading other = CodePageText::OtherReading::Told);

    // Typed queries and the child store.
    QString GetFileItemDefault_str(const QString &strA_Key, const QString &strA_DefaultValue);
    qint32 GetFileItem_lng(const QString &strA_Key);
    bool GetFileItem_bln(const QString &strA_Key);
    bool InitElement_bln();
    bool SetElement_bln(const QString &strA_Name, const QString &strA_Item);

    // Writing.
    bool SaveFile_bln(const QString &strA_FileName);
    QString GetFileItemAll_str() const;

    // The markup and the rules every query rests on.
    static QString OpenTag_str(const QString &strA_Name);
    static QString CloseTag_str(const QString &strA_Name);
    static QString MakeElement_str(const QString &strA_Name, const QString &strA_Content, bool isSeparateLines);
    // The text between the first "<name>" and the first "</name>" after it; empty when either is missing.
    static QString ExtractElement_str(const QString &strA_Text, const QString &strA_Name);
    static QString JoinPath_str(const QString &strA_Folder, const QString &strA_Name);
    // Blanks around, a sign and a fraction (rounded half to even) are accepted; throws
    // RuntimeError for empty, non-numeric or out-of-range text.
    static qint32 ToLong_lng(const QString &strA_Text);

private:
    struct ItemEntry {
        QString Key;
        QString TagText;
    };

    bool CheckKey_bln(const QString &strA_Key) const;
    bool ReadText_bln(const QString &strA_FileName, QString &strA_Text);
    bool WriteText_bln(const QString &strA_FileName, const QString &strA_Text);
    void MakeSaveFolder() const;
    QString MakeIndent_str(qint32 lngA_Level) const;
    QString MakeFileText_str(const QString &strA_Lines) const;
    // Inside a catch block: reports the failure as the message switch says.
    void ReportError() const;
    void ReportMessage(qint32 lngA_Buttons, const QString &strA_Prompt, const QString &strA_Title) const;

    QString m_topTagName;
    QString m_saveFilePath;
    bool m_msgDisplayFlg = false;
    bool m_isTopLevel = true;
    qint32 m_indentLevel = 0;
    QString m_fileData;
    QString m_fileItem;
    FirstTagIndex m_fileItemTags;
    QList<ItemEntry> m_items;
};
