#include "settings/Cls_MySettingFile.h"

#include "app/mdl_ErrorFunction.h"
#include "settings/RegExp.h"

#include <limits>

namespace {

const QString kColorSetting = QStringLiteral("ColorSetting");
const QString kDataSetting = QStringLiteral("DataSetting");
const QString kTitle = QStringLiteral("Title");
const QString kLink = QStringLiteral("Link");
const QString kName = QStringLiteral("Name");
const QString kReg = QStringLiteral("Reg");
const QString kReplace = QStringLiteral("Replace");
const QString kData = QStringLiteral("Data");
const QString kVersion = QStringLiteral("Version");
const QString kItemPrefix = QStringLiteral("Item");

}

Cls_MySettingFile::Cls_MySettingFile() = default;

QString Cls_MySettingFile::Path() const
{
    return m_path;
}

void Cls_MySettingFile::Path(const QString &vData)
{
    m_path = vData;
}

QString Cls_MySettingFile::Name() const
{
    return m_name;
}

void Cls_MySettingFile::Name(const QString &vData)
{
    m_name = vData;
}

bool Cls_MySettingFile::MsgDisplayFlg_Prop() const
{
    return m_msgDisplayFlg;
}

void Cls_MySettingFile::MsgDisplayFlg_Prop(bool vData)
{
    m_msgDisplayFlg = vData;
}

// --- loading ---------------------------------------------------------------------------------

QString Cls_MySettingFile::ReplaceDatePlaceholders(const QString &strA_Text, const QDate &date)
{
    try {
        QString text = strA_Text;
        text.replace(QStringLiteral("@@@@/@@/@@"), date.toString(QStringLiteral("yyyy/MM/dd")));
        text.replace(QStringLiteral("@@@@.@@.@@"), date.toString(QStringLiteral("yyyy.MM.dd")));
        return text;
    } catch (...) {
        RecordCurrentException();
        ShowErrorBox();
        return QString();
    }
}

bool Cls_MySettingFile::LoadFile()
{
    bool result = false;
    try {
        Cls_XML file;
        file.SaveFilePath_Prop(m_path);
        const bool isRead = file.OnlyReadFile_bln(m_name);
        file.FileData(ReplaceDatePlaceholders(file.FileData(), QDate::currentDate()));
        if (!isRead)
            return false;
        if (!m_colorStore.SetFileItem(file.FileData(), kColorSetting))
            return false;
        result = m_dataStore.SetFileItem(file.FileData(), kDataSetting);
    } catch (...) {
        RecordCurrentException();
        ReportError();
        ClearCurrentError();
    }
    return result;
}

Cls_XML &Cls_MySettingFile::Color()
{
    return m_colorStore;
}

Cls_XML &Cls_MySettingFile::DataSet()
{
    return m_dataStore;
}

// --- item access -----------------------------------------------------------------------------

bool Cls_MySettingFile::SetDataPrepare(qint32 lngIndex)
{
    m_isPrepare = false;
    if (lngIndex == std::numeric_limits<qint32>::max())
        throw RuntimeError(ErrorNumber::Overflow);
    const QString item = m_dataStore.Gets(kItemPrefix + QString::number(lngIndex + 1));
    if (!item.isEmpty()) {
        m_itemStore.SetFileItem(item, QString());
        m_isPrepare = true;
    }
    return m_isPrepare;
}

bool Cls_MySettingFile::isPrepare() const
{
    return m_isPrepare;
}

QString Cls_MySettingFile::GetTitle()
{
    return m_dataStore.Gets(kTitle);
}

QString Cls_MySettingFile::GetLink()
{
    return m_dataStore.Gets(kLink);
}

QString Cls_MySettingFile::GetVersion()
{
    return m_dataStore.Gets(kVersion);
}

bool Cls_MySettingFile::IsShowVersion()
{
    return GetVersion().toLower() == QStringLiteral("true");
}

QString Cls_MySettingFile::GetName()
{
    return m_isPrepare ? m_itemStore.Gets(kName) : QString();
}

QString Cls_MySettingFile::GetReg()
{
    return m_isPrepare ? m_itemStore.Gets(kReg) : QString();
}

QString Cls_MySettingFile::GetReplaceString()
{
    return m_isPrepare ? m_itemStore.Gets(kReplace) : QString();
}

QString Cls_MySettingFile::GetData()
{
    return m_isPrepare ? m_itemStore.Gets(kData) : QString();
}

bool Cls_MySettingFile::isReg()
{
    return !GetReg().isEmpty();
}

bool Cls_MySettingFile::isData()
{
    return !GetData().isEmpty();
}

// --- text generation -------------------------------------------------------------------------

QString Cls_MySettingFile::ReplaceByItemPattern(const QString &strA_Data)
{
    RegExp expression;
    expression.IgnoreCase(false);
    expression.Global(true);
    expression.Pattern(GetReg());
    return expression.Replace(strA_Data, GetReplaceString());
}

QString Cls_MySettingFile::DataGet(qint32 lngA_Index, const QString &strA_Data)
{
    if (!SetDataPrepare(lngA_Index))
        return QString();
    if (isReg())
        return RegExpExecute(lngA_Index, strA_Data);
    if (isData())
        return GetData();
    return QString();
}

QString Cls_MySettingFile::RegExpExecute(qint32 lngA_Index, const QString &strA_Data)
{
    try {
        if (!SetDataPrepare(lngA_Index))
            return strA_Data;
        return ReplaceByItemPattern(strA_Data);
    } catch (...) {
        RecordCurrentException();
        ReportError();
        ClearCurrentError();
        return QString();
    }
}

GeneratedText Cls_MySettingFile::GenerateText(qint32 lngA_Index, const QString &strA_Data)
{
    GeneratedText result;
    try {
        if (!SetDataPrepare(lngA_Index)) {
            result.ok = false;
            result.errorNumber = ErrorNumber::InvalidProcedureCall;
            result.error = QStringLiteral("no item %1%2").arg(kItemPrefix).arg(qint64(lngA_Index) + 1);
            return result;
        }
        if (isReg())
            result.text = ReplaceByItemPattern(strA_Data);
        else
            result.text = GetData();
    } catch (const RegExpError &e) {
        result = GeneratedText{false, QString(), e.number(), e.description(), e.patternOffset()};
    } catch (const RuntimeError &e) {
        result = GeneratedText{false, QString(), e.number(), e.description(), -1};
    } catch (const std::bad_alloc &) {
        result = GeneratedText{false, QString(), ErrorNumber::OutOfMemory, ErrorDescription(ErrorNumber::OutOfMemory), -1};
    }
    return result;
}

void Cls_MySettingFile::ReportError() const
{
    if (m_msgDisplayFlg)
        ShowErrorBox();
}
