#include "app/mdl_ErrorFunction.h"

#include <QTextStream>

#include <limits>
#include <new>

QString ApplicationTitle()
{
    return QStringLiteral("Tavrelo");
}

QString ErrorDescription(qint32 number)
{
    switch (number) {
    case ErrorNumber::InvalidProcedureCall: return QStringLiteral("Invalid procedure call or argument");
    case ErrorNumber::Overflow: return QStringLiteral("Overflow");
    case ErrorNumber::OutOfMemory: return QStringLiteral("Out of memory");
    case ErrorNumber::TypeMismatch: return QStringLiteral("Type mismatch");
    case ErrorNumber::OutOfStackSpace: return QStringLiteral("Out of stack space");
    case ErrorNumber::FileNotFound: return QStringLiteral("File not found");
    case ErrorNumber::DeviceIO: return QStringLiteral("Device I/O error");
    case ErrorNumber::PathFileAccess: return QStringLiteral("Path/File access error");
    case ErrorNumber::ObjectNotSet: return QStringLiteral("Object variable or With block variable not set");
    case ErrorNumber::RegExpSyntax: return QStringLiteral("Syntax error in regular expression");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

QString ErrorDescription(qint32 number, const QString &detail)
{
    return ErrorDescription(number) + QStringLiteral(": ") + detail;
}

RuntimeError::RuntimeError(qint32 number)
    : RuntimeError(number, ErrorDescription(number))
{
}

RuntimeError::RuntimeError(qint32 number, const QString &description, const QString &source)
    : m_number(number), m_description(description), m_source(source),
      m_what(QString::number(number).append(u' ').append(description).toStdString())
{
}

namespace {

ErrorRecord &errorRecord()
{
    static ErrorRecord record;
    return record;
}

MessagePresenter *&presenterSlot()
{
    static MessagePresenter *presenter = nullptr;
    return presenter;
}

// One line on standard error: the box as text, answered with OK.
qint16 writeToStandardError(const QString &prompt, const QString &title)
{
    QString line = prompt;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
    QTextStream err(stderr);
    err << title << ": " << line << Qt::endl;
    return MsgBox::Ok;
}

}

const ErrorRecord &CurrentError()
{
    return errorRecord();
}

void SetCurrentError(const ErrorRecord &record)
{
    errorRecord() = record;
}

void ClearCurrentError()
{
    errorRecord() = ErrorRecord{};
}

void RecordCurrentException()
{
    try {
        throw;
    } catch (const RuntimeError &e) {
        SetCurrentError({e.number(), e.description(), e.source()});
    } catch (const std::bad_alloc &) {
        SetCurrentError({ErrorNumber::OutOfMemory, ErrorDescription(ErrorNumber::OutOfMemory), ApplicationTitle()});
    } catch (const std::exception &e) {
        SetCurrentError({ErrorNumber::InvalidProcedureCall, QString::fromLocal8Bit(e.what()), ApplicationTitle()});
    } catch (...) {
        SetCurrentError({ErrorNumber::InvalidProcedureCall, ErrorDescription(ErrorNumber::InvalidProcedureCall),
                         ApplicationTitle()});
    }
}

void SetMessagePresenter(MessagePresenter *presenter)
{
    presenterSlot() = presenter;
}

MessagePresenter *CurrentMessagePresenter()
{
    return presenterSlot();
}

void ShowErrorBox()
{
    const ErrorRecord record = CurrentError();
    const QString prompt = QString::number(record.number) + u' ' + record.description + u'\r' + record.source;
    ShowMessageBox(MsgBox::Critical, prompt, QStringLiteral("VB Error"));
    ClearCurrentError();
}

qint16 ShowMessageBox(qint32 buttons, const QString &prompt, const QString &title)
{
    if (buttons < std::numeric_limits<qint16>::min() || buttons > std::numeric_limits<qint16>::max())
        throw RuntimeError(ErrorNumber::Overflow);
    const QString shownTitle = title.isEmpty() ? ApplicationTitle() : title;
    if (MessagePresenter *presenter = presenterSlot())
        return presenter->show(buttons, prompt, shownTitle);
    return writeToStandardError(prompt, shownTitle);
}
