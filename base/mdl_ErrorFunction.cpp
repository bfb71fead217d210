#include "base/mdl_ErrorFunction.h"

#include "base/ServiceSlot.h"

#include <QTextStream>
#include <QThreadStorage>

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
    case ErrorNumber::UserInterrupt: return QStringLiteral("User interrupt occurred");
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

RuntimeError::RuntimeError(qint32 number) : RuntimeError(number, ErrorDescription(number))
{
}

RuntimeError::RuntimeError(qint32 number, const QString &description, const QString &source)
    : m_number(number), m_description(description), m_source(source),
      m_what(QString::number(number).append(u' ').append(description).toStdString())
{
}

namespace {

// Each thread has a current error of its own: a rewrite runs on a worker thread, whose traps
// record and clear while the window's thread shows a box of its own. Qt's storage rather than a
// thread_local, which hangs a MinGW-built process at its exit when it has a destructor.
ErrorRecord &errorRecord()
{
    static QThreadStorage<ErrorRecord> records;
    return records.localData();
}

// One line on standard error: the box as text, answered with OK.
qint16 writeToStandardError(const QString &prompt, const QString &title)
{
    QTextStream err(stderr);
    err << title << ": " << OneLine(prompt) << Qt::endl;
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

ErrorRecord TrappedError()
{
    try {
        throw;
    } catch (const RuntimeError &e) {
        return {e.number(), e.description(), e.source()};
    } catch (const std::bad_alloc &) {
        return {ErrorNumber::OutOfMemory, ErrorDescription(ErrorNumber::OutOfMemory), ApplicationTitle()};
    } catch (const std::exception &e) {
        return {ErrorNumber::InvalidProcedureCall, QString::fromLocal8Bit(e.what()), ApplicationTitle()};
    } catch (...) {
        return {ErrorNumber::InvalidProcedureCall, ErrorDescription(ErrorNumber::InvalidProcedureCall), ApplicationTitle()};
    }
}

void RecordCurrentException()
{
    SetCurrentError(TrappedError());
}

void ShowTrappedError()
{
    RecordCurrentException();
    ShowErrorBox();
}

void ReportErrorRecord(const ErrorRecord &record, bool isShown)
{
    SetCurrentError(record);
    if (isShown)
        ShowErrorBox();
    ClearCurrentError();
}

void ReportTrappedError(bool isShown)
{
    ReportErrorRecord(TrappedError(), isShown);
}

QString OneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

void SetMessagePresenter(MessagePresenter *presenter)
{
    ServiceSlot<MessagePresenter>::Install(presenter);
}

MessagePresenter *CurrentMessagePresenter()
{
    return ServiceSlot<MessagePresenter>::Installed();
}

void ShowErrorBox()
{
    const ErrorRecord &record = CurrentError();
    const QString prompt = QString::number(record.number) + u' ' + record.description + u'\r' + record.source;
    ShowMessageBox(MsgBox::Critical, prompt, QStringLiteral("VB Error"));
    ClearCurrentError();
}

qint16 ShowMessageBox(qint32 buttons, const QString &prompt, const QString &title)
{
    if (buttons < std::numeric_limits<qint16>::min() || buttons > std::numeric_limits<qint16>::max())
        throw RuntimeError(ErrorNumber::Overflow);
    const QString shownTitle = title.isEmpty() ? ApplicationTitle() : title;
    if (MessagePresenter *presenter = CurrentMessagePresenter())
        return presenter->show(buttons, prompt, shownTitle);
    return writeToStandardError(prompt, shownTitle);
}
