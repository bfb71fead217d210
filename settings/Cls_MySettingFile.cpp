#include "settings/Cls_MySettingFile.h"

#include "settings/SettingsSchema.h"
#include "xml/ElementSpan.h"

#include <limits>

namespace {

SectionState StateOf(const QString &text, const QString &section)
{
    const ElementSpan span = FindElement(text, section);
    return span.isComplete() ? SectionState::Complete : span.hasOpen() ? SectionState::Unclosed : SectionState::Missing;
}

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
        ShowTrappedError();
        return QString();
    }
}

bool Cls_MySettingFile::LoadFile()
{
    bool result = false;
    m_colorSection = SectionState::Missing;
    m_dataSection = SectionState::Missing;
    try {
        Cls_XML file;
        file.SaveFilePath_Prop(m_path);
        if (!file.OnlyReadFile_bln(m_name))
            return false;
        result = LoadFileText(file.FileData());
    } catch (...) {
        ReportError();
    }
    return result;
}

bool Cls_MySettingFile::LoadFileText(const QString &strA_FileText, QString *loadedText)
{
    const QString text = ReplaceDatePlaceholders(strA_FileText, QDate::currentDate());
    m_colorSection = StateOf(text, SettingsSchema::ColorSetting);
    m_dataSection = StateOf(text, SettingsSchema::DataSetting);
    const bool result = m_colorStore.SetFileItem(text, SettingsSchema::ColorSetting)
                        && m_dataStore.SetFileItem(text, SettingsSchema::DataSetting);
    if (loadedText)
        *loadedText = text;
    return result;
}

SectionState Cls_MySettingFile::ColorSectionState() const
{
    return m_colorSection;
}

SectionState Cls_MySettingFile::DataSectionState() const
{
    return m_dataSection;
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
    const QString item = m_dataStore.Gets(SettingsSchema::ItemElement(lngIndex));
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
    return m_dataStore.Gets(SettingsSchema::Title);
}

QString Cls_MySettingFile::GetLink()
{
    return m_dataStore.Gets(SettingsSchema::Link);
}

QString Cls_MySettingFile::GetVersion()
{
    return m_dataStore.Gets(SettingsSchema::Version);
}

QString Cls_MySettingFile::GetJoinKey()
{
    return m_dataStore.Gets(SettingsSchema::JoinKey);
}

QString Cls_MySettingFile::GetPaletteKey()
{
    return m_dataStore.Gets(SettingsSchema::PaletteKey);
}

bool Cls_MySettingFile::IsShowVersion()
{
    return SettingsSchema::IsSwitchOn(GetVersion());
}

QString Cls_MySettingFile::GetName()
{
    return m_isPrepare ? m_itemStore.Gets(SettingsSchema::Name) : QString();
}

QString Cls_MySettingFile::GetReg()
{
    return m_isPrepare ? m_itemStore.Gets(SettingsSchema::Reg) : QString();
}

QString Cls_MySettingFile::GetReplaceString()
{
    return m_isPrepare ? m_itemStore.Gets(SettingsSchema::Replace) : QString();
}

QString Cls_MySettingFile::GetData()
{
    return m_isPrepare ? m_itemStore.Gets(SettingsSchema::Data) : QString();
}

QString Cls_MySettingFile::GetKey()
{
    return m_isPrepare ? m_itemStore.Gets(SettingsSchema::Key) : QString();
}

bool Cls_MySettingFile::isPaste()
{
    return m_isPrepare && SettingsSchema::IsSwitchOn(m_itemStore.Gets(SettingsSchema::Paste));
}

bool Cls_MySettingFile::isRestore()
{
    return m_isPrepare && SettingsSchema::IsSwitchOn(m_itemStore.Gets(SettingsSchema::Restore));
}

bool Cls_MySettingFile::isReg()
{
    return !GetReg().isEmpty();
}

bool Cls_MySettingFile::isData()
{
    return !GetData().isEmpty();
}

std::optional<ButtonItem::Mode> Cls_MySettingFile::ItemMode(qint32 lngA_Index)
{
    if (!SetDataPrepare(lngA_Index))
        return std::nullopt;
    return isReg() ? ButtonItem::Mode::Replace : isData() ? ButtonItem::Mode::Text : ButtonItem::Mode::Empty;
}

QList<ButtonItem> Cls_MySettingFile::ButtonItems()
{
    QList<ButtonItem> items;
    for (qint32 index = 0; index < SettingsSchema::ItemCount; ++index) {
        const std::optional<ButtonItem::Mode> mode = ItemMode(index);
        if (!mode)
            continue;
        QString name = GetName();
        if (!name.isEmpty())
            items.append({index, std::move(name), *mode, GetKey(), isPaste(), isRestore()});
    }
    return items;
}

QList<HotkeyAssignment> Cls_MySettingFile::HotkeyAssignments(const QList<ButtonItem> &buttons)
{
    QList<HotkeyAssignment> keys;
    for (const ButtonItem &item : buttons)
        keys.append({HotkeyAssignment::Target::Item, item.index, item.key, {}});
    keys.append({HotkeyAssignment::Target::Join, -1, GetJoinKey(), {}});
    keys.append({HotkeyAssignment::Target::Palette, -1, GetPaletteKey(), {}});
    return keys;
}

// --- text generation -------------------------------------------------------------------------

namespace {

GeneratedText Failure(GeneratedText::Outcome outcome, const ErrorRecord &error, qint32 patternOffset = -1)
{
    return GeneratedText{outcome, QString(), error, patternOffset};
}

}

GeneratedText GeneratedText::FromTrappedError()
{
    const ErrorRecord error = TrappedError();
    return Failure(error.number == ErrorNumber::UserInterrupt ? Outcome::Cancelled : Outcome::RewriteFailed, error);
}

GeneratedText Cls_MySettingFile::DataGet(qint32 lngA_Index, const QString &strA_Data, const CancelToken *cancel)
{
    try {
        if (!SetDataPrepare(lngA_Index)) {
            const QString item = SettingsSchema::ItemElement(lngA_Index);
            return Failure(GeneratedText::Outcome::NoItem,
                           {ErrorNumber::InvalidProcedureCall, QStringLiteral("no item %1").arg(item), ApplicationTitle()});
        }
        if (!isReg())
            return GeneratedText{GeneratedText::Outcome::Made, GetData(), {}, -1};
    } catch (...) {
        return Failure(GeneratedText::Outcome::ReadFailed, TrappedError());
    }
    return RegExpExecute(lngA_Index, strA_Data, cancel);
}

RegExp Cls_MySettingFile::ItemExpression(const QString &strA_Pattern)
{
    RegExp expression;
    expression.IgnoreCase(false);
    expression.Global(true);
    expression.Pattern(strA_Pattern);
    return expression;
}

GeneratedText Cls_MySettingFile::RegExpExecute(qint32 lngA_Index, const QString &strA_Data, const CancelToken *cancel)
{
    GeneratedText result;
    try {
        if (!SetDataPrepare(lngA_Index))
            return GeneratedText{GeneratedText::Outcome::Made, strA_Data, {}, -1};
        const RegExp expression = ItemExpression(GetReg());
        result = GeneratedText{GeneratedText::Outcome::Made, expression.Replace(strA_Data, GetReplaceString(), cancel), {}, -1};
    } catch (const RegExpError &e) {
        result = Failure(GeneratedText::Outcome::RewriteFailed, {e.number(), e.description(), e.source()}, e.patternOffset());
        result.patternFault = e.fault();
        result.engineMessage = e.engineMessage();
    } catch (...) {
        result = GeneratedText::FromTrappedError();
    }
    if (!result.ok())
        ReportFailure(result);
    return result;
}

// --- reports ---------------------------------------------------------------------------------

void Cls_MySettingFile::ReportFailure(const GeneratedText &failure) const
{
    ReportErrorRecord(failure.error, m_msgDisplayFlg);
}

void Cls_MySettingFile::ReportError() const
{
    ReportTrappedError(m_msgDisplayFlg);
}
