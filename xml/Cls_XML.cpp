#include "xml/Cls_XML.h"

#include "base/ExecutableFolder.h"
#include "base/mdl_ErrorFunction.h"
#include "xml/CodePageText.h"
#include "xml/ElementSpan.h"
#include "xml/SettingsFileAccess.h"
#include "xml/TextHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kDeclaration = QStringLiteral("<?xml version = '1.0' encoding = 'Shift_JIS'?>");

// The system's own separator, and "/", which every system accepts.
bool isFolderSeparator(QChar c)
{
    return c == QDir::separator() || c == u'/';
}

}

Cls_XML::Cls_XML() : m_topTagName(QStringLiteral("myItem")), m_saveFilePath(ExecutableFolder())
{
    InitItem_bln();
    IndentLevel_Prop(0);
}

Cls_XML::~Cls_XML() = default;

void Cls_XML::TopTagName_Prop(const QString &vData)
{
    m_topTagName = vData;
}

QString Cls_XML::SaveFilePath_Prop() const
{
    return m_saveFilePath;
}

void Cls_XML::SaveFilePath_Prop(const QString &vData)
{
    m_saveFilePath = vData;
}

bool Cls_XML::MsgDisplayFlg_Prop() const
{
    return m_msgDisplayFlg;
}

void Cls_XML::MsgDisplayFlg_Prop(bool vData)
{
    m_msgDisplayFlg = vData;
}

qint32 Cls_XML::IndentLevel_Prop() const
{
    return m_indentLevel;
}

void Cls_XML::IndentLevel_Prop(qint32 vData)
{
    m_indentLevel = vData;
    m_isTopLevel = vData == 0;
}

bool Cls_XML::IsTopLevel() const
{
    return m_isTopLevel;
}

QString Cls_XML::FileData() const
{
    return m_fileData;
}

void Cls_XML::FileData(const QString &vData)
{
    m_fileData = vData;
}

// --- item list -------------------------------------------------------------------------------

bool Cls_XML::InitItem_bln()
{
    m_items.clear();
    return true;
}

bool Cls_XML::CheckKey_bln(const QString &strA_Key) const
{
    if (strA_Key.isEmpty()) {
        ShowMessageBox(MsgBox::OkOnly | MsgBox::Exclamation, QStringLiteral("Key項目を設定してください。"),
                       QStringLiteral("設定値無し"));
        return false;
    }
    for (const ItemEntry &entry : m_items) {
        if (entry.Key == strA_Key) {
            const QString prompt = QStringLiteral("次のKeyは既に使用されています。") + kCrLf
                                   + QStringLiteral("違う項目名を設定してください。") + kCrLf + QString(36, u'-') + kCrLf
                                   + QStringLiteral("『") + strA_Key + QStringLiteral("』");
            ShowMessageBox(MsgBox::OkOnly | MsgBox::Exclamation, prompt, QStringLiteral("重複Key発見"));
            return false;
        }
    }
    return true;
}

bool Cls_XML::AddItem_bln(const QString &strA_Key, const QString &strA_Data)
{
    try {
        if (!CheckKey_bln(strA_Key))
            return false;
        m_items.append(ItemEntry{strA_Key, MakeElement_str(strA_Key, strA_Data, false)});
        return true;
    } catch (...) {
        ReportError();
        return false;
    }
}

bool Cls_XML::SetItem_bln(const QString &strA_Key, const QString &strA_Data)
{
    try {
        for (ItemEntry &entry : m_items) {
            if (entry.Key == strA_Key) {
                entry.TagText = MakeElement_str(strA_Key, strA_Data, false);
                return true;
            }
        }
        // An empty key is refused with its message; nothing was stored, so say so.
        return AddItem_bln(strA_Key, strA_Data) || !strA_Key.isEmpty();
    } catch (...) {
        ReportError();
        return false;
    }
}

QString Cls_XML::GetItem_str(const QString &strA_Key) const
{
    for (const ItemEntry &entry : m_items) {
        if (entry.Key == strA_Key)
            return entry.TagText;
    }
    return QString();
}

QString Cls_XML::GetItemAll_str(const QString &strA_Indent) const
{
    try {
        QString result;
        for (const ItemEntry &entry : m_items)
            result += strA_Indent + entry.TagText + kCrLf;
        return result;
    } catch (...) {
        ReportError();
        return QString();
    }
}

qint32 Cls_XML::ItemCount() const
{
    return qint32(m_items.size());
}

// --- reading and lookups ---------------------------------------------------------------------

QString Cls_XML::OpenTag_str(const QString &strA_Name)
{
    return OpenTag(strA_Name);
}

QString Cls_XML::CloseTag_str(const QString &strA_Name)
{
    return CloseTag(strA_Name);
}

QString Cls_XML::MakeElement_str(const QString &strA_Name, const QString &strA_Content, bool isSeparateLines)
{
    if (isSeparateLines)
        return OpenTag_str(strA_Name) + kCrLf + strA_Content + kCrLf + CloseTag_str(strA_Name);
    return OpenTag_str(strA_Name) + strA_Content + CloseTag_str(strA_Name);
}

QString Cls_XML::ExtractElement_str(const QString &strA_Text, const QString &strA_Name)
{
    return FindElement(strA_Text, strA_Name).content(strA_Text).toString();
}

QString Cls_XML::JoinPath_str(const QString &strA_Folder, const QString &strA_Name)
{
    const QString folder = TrimBlanks(strA_Folder);
    if (folder.isEmpty())
        return strA_Name;
    if (isFolderSeparator(folder.back()))
        return folder + strA_Name;
    return folder + QDir::separator() + strA_Name;
}

bool Cls_XML::ReadText_bln(const QString &strA_FileName, QString &strA_Text)
{
    strA_Text.clear();
    try {
        const QString path = JoinPath_str(m_saveFilePath, strA_FileName);
        QByteArray bytes;
        const SettingsFileProblem problem = ReadSettingsFile(path, bytes);
        switch (problem) {
        case SettingsFileProblem::None: break;
        case SettingsFileProblem::Missing: throw RuntimeError(ErrorNumber::FileNotFound);
        case SettingsFileProblem::ReadFailed: throw RuntimeError(ErrorNumber::DeviceIO);
        default:
            throw RuntimeError(ErrorNumber::PathFileAccess,
                               ErrorDescription(ErrorNumber::PathFileAccess, SettingsFileProblemText(problem)));
        }
        strA_Text = DecodeFileText(bytes, CodePageText::OtherReading::Skipped).text;
        return true;
    } catch (...) {
        strA_Text.clear();
        ReportError();
        return false;
    }
}

CodePageText::DecodedText Cls_XML::DecodeFileText(const QByteArray &bytes, CodePageText::OtherReading other)
{
    CodePageText::DecodedText decoded = CodePageText::Decode(bytes, other);
    decoded.text = CodePageText::NormalizeLineEnds(decoded.text);
    return decoded;
}

bool Cls_XML::OnlyReadFile_bln(const QString &strA_FileName)
{
    QString text;
    if (!ReadText_bln(strA_FileName, text))
        return false;
    m_fileData = std::move(text);
    return true;
}

bool Cls_XML::ReadFile_bln(const QString &strA_FileName, bool isSaveData)
{
    Q_UNUSED(isSaveData)
    QString text;
    if (!ReadText_bln(strA_FileName, text))
        return false;
    return SetFileItem(text, QString());
}

bool Cls_XML::SetFileItem(const QString &strA_FileData, const QString &strA_Key)
{
    try {
        m_fileItem = strA_Key.isEmpty() ? strA_FileData : ExtractElement_str(strA_FileData, strA_Key);
        m_fileItemTags.reset();
        return true;
    } catch (...) {
        ReportError();
        return false;
    }
}

QString Cls_XML::GetFileItem_str(const QString &strA_Key)
{
    try {
        return ElementAt(m_fileItem, strA_Key, m_fileItemTags.find(m_fileItem, strA_Key)).content(m_fileItem).toString();
    } catch (...) {
        ReportError();
        return QString();
    }
}

QString Cls_XML::Gets(const QString &strA_Key)
{
    return GetFileItem_str(strA_Key);
}

// --- typed queries and the child store -------------------------------------------------------

QString Cls_XML::GetFileItemDefault_str(const QString &strA_Key, const QString &strA_DefaultValue)
{
    const QString value = GetFileItem_str(strA_Key);
    return value.isEmpty() ? strA_DefaultValue : value;
}

qint32 Cls_XML::ToLong_lng(const QString &strA_Text)
{
    const QString text = strA_Text.trimmed();
    bool ok = false;
    // Only plain decimal notation: a sign, digits, a point and digits.
    static const auto isNumberChar = [](QChar c) { return c.isDigit() || c == u'.' || c == u'+' || c == u'-'; };
    ok = !text.isEmpty() && std::all_of(text.begin(), text.end(), isNumberChar);
    const double value = ok ? QLocale::c().toDouble(text, &ok) : 0.0;
    if (!ok || !std::isfinite(value))
        throw RuntimeError(ErrorNumber::TypeMismatch);
    // The default rounding mode takes halves to the even neighbour.
    const double rounded = std::nearbyint(value);
    if (rounded < double(std::numeric_limits<qint32>::min()) || rounded > double(std::numeric_limits<qint32>::max()))
        throw RuntimeError(ErrorNumber::Overflow);
    return qint32(rounded);
}

qint32 Cls_XML::GetFileItem_lng(const QString &strA_Key)
{
    try {
        return ToLong_lng(GetFileItem_str(strA_Key));
    } catch (...) {
        ReportError();
        return 0;
    }
}

bool Cls_XML::GetFileItem_bln(const QString &strA_Key)
{
    return GetFileItem_str(strA_Key).toLower() == QStringLiteral("true");
}

bool Cls_XML::InitElement_bln()
{
    try {
        if (m_indentLevel == std::numeric_limits<qint32>::max())
            throw RuntimeError(ErrorNumber::Overflow);
        Element = std::make_unique<Cls_XML>();
        Element->InitItem_bln();
        Element->IndentLevel_Prop(m_indentLevel + 1);
        return true;
    } catch (...) {
        ReportError();
        return false;
    }
}

bool Cls_XML::SetElement_bln(const QString &strA_Name, const QString &strA_Item)
{
    Q_UNUSED(strA_Name)
    if (!InitElement_bln())
        return false;
    return Element->SetFileItem(strA_Item, QString());
}

// --- writing ---------------------------------------------------------------------------------

QString Cls_XML::MakeIndent_str(qint32 lngA_Level) const
{
    const qint32 level = lngA_Level >= 0 ? lngA_Level : m_indentLevel;
    // level + 1 tabs, in 32-bit arithmetic: the deepest level has no count of its own.
    if (level == std::numeric_limits<qint32>::max())
        throw RuntimeError(ErrorNumber::Overflow);
    return level >= 0 ? QString(qsizetype(level) + 1, u'\t') : QString();
}

QString Cls_XML::MakeFileText_str(const QString &strA_Lines) const
{
    if (m_isTopLevel) {
        return kDeclaration + kCrLf + OpenTag_str(m_topTagName) + kCrLf + strA_Lines + kCrLf + CloseTag_str(m_topTagName);
    }
    if (m_indentLevel == std::numeric_limits<qint32>::min())
        throw RuntimeError(ErrorNumber::Overflow);
    return kCrLf + strA_Lines + MakeIndent_str(m_indentLevel - 1);
}

QString Cls_XML::GetFileItemAll_str() const
{
    return MakeFileText_str(GetItemAll_str(MakeIndent_str(-1)));
}

void Cls_XML::MakeSaveFolder() const
{
    // Every missing level is created; a folder that cannot be made shows up when the file is written.
    const QString folder = TrimBlanks(m_saveFilePath);
    if (!folder.isEmpty())
        QDir().mkpath(folder);
}

bool Cls_XML::WriteText_bln(const QString &strA_FileName, const QString &strA_Text)
{
    try {
        if (strA_FileName.isEmpty()) {
            ReportMessage(MsgBox::OkOnly | MsgBox::Exclamation, QStringLiteral("ファイル名が設定されてません。"),
                          QStringLiteral("設定ミス"));
            return false;
        }
        QByteArray bytes;
        QString encodingError;
        if (!CodePageText::EncodeCodePage932(strA_Text, &bytes, &encodingError))
            throw RuntimeError(ErrorNumber::InvalidProcedureCall, encodingError);
        // Written beside the target and moved over it only when complete; in a folder where no
        // file can be made beside it, a writable target is written in place, as a plain open would.
        QSaveFile file(JoinPath_str(m_saveFilePath, strA_FileName));
        file.setDirectWriteFallback(true);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            throw RuntimeError(ErrorNumber::PathFileAccess, ErrorDescription(ErrorNumber::PathFileAccess, file.errorString()));
        return true;
    } catch (...) {
        ReportError();
        return false;
    }
}

bool Cls_XML::SaveFile_bln(const QString &strA_FileName)
{
    try {
        MakeSaveFolder();
        return WriteText_bln(strA_FileName, GetFileItemAll_str());
    } catch (...) {
        ReportError();
        return false;
    }
}

// --- reports ---------------------------------------------------------------------------------

void Cls_XML::ReportError() const
{
    ReportTrappedError(m_msgDisplayFlg);
}

void Cls_XML::ReportMessage(qint32 lngA_Buttons, const QString &strA_Prompt, const QString &strA_Title) const
{
    if (m_msgDisplayFlg)
        ShowMessageBox(lngA_Buttons, strA_Prompt, strA_Title);
}
