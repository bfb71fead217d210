#pragma once

#include <QString>

#include <exception>
#include <string>

// Every run-time error number that the program raises itself, with the usual meanings; their
// descriptions are in ErrorDescription.
namespace ErrorNumber {
constexpr qint32 InvalidProcedureCall = 5;
constexpr qint32 Overflow = 6;
constexpr qint32 OutOfMemory = 7;
constexpr qint32 TypeMismatch = 13;
constexpr qint32 UserInterrupt = 18;
constexpr qint32 OutOfStackSpace = 28;
constexpr qint32 FileNotFound = 53;
constexpr qint32 DeviceIO = 57;
constexpr qint32 PathFileAccess = 75;
constexpr qint32 ObjectNotSet = 91;
constexpr qint32 RegExpSyntax = 5017;
}

// Message box styles and button codes.
namespace MsgBox {
constexpr qint32 OkOnly = 0;
constexpr qint32 Critical = 16;
constexpr qint32 Exclamation = 48;
constexpr qint32 Information = 64;
constexpr qint16 Ok = 1;
}

// The program's name: the source of its own errors and the title of untitled boxes.
QString ApplicationTitle();

// The standard description of one of the run-time error numbers above.
QString ErrorDescription(qint32 number);
// The description with a detail after a colon: "Path/File access error: Permission denied".
QString ErrorDescription(qint32 number, const QString &detail);

// A run-time error on its way to the trap of the routine that catches it.
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(qint32 number);
    RuntimeError(qint32 number, const QString &description, const QString &source = ApplicationTitle());

    qint32 number() const { return m_number; }
    QString description() const { return m_description; }
    QString source() const { return m_source; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    qint32 m_number;
    QString m_description;
    QString m_source;
    std::string m_what;
};

// The current error: the record of the last run-time error that a routine of this thread trapped.
struct ErrorRecord {
    qint32 number = 0;
    QString description;
    QString source;
};

const ErrorRecord &CurrentError();
void SetCurrentError(const ErrorRecord &record);
void ClearCurrentError();
// Inside a catch block: the record of the exception being handled. A RuntimeError keeps its
// number; std::bad_alloc becomes OutOfMemory, anything else InvalidProcedureCall.
ErrorRecord TrappedError();
// Inside a catch block: records the exception being handled as the current error.
void RecordCurrentException();
// Inside a catch block, the trap of a routine that shows its failures: records the exception
// and reports it in the error box.
void ShowTrappedError();
// The report of a routine whose failures are shown only while its object's message switch
// (MsgDisplayFlg_Prop) is on: the record becomes the current error, is shown in the error box
// when isShown, and is cleared.
void ReportErrorRecord(const ErrorRecord &record, bool isShown);
// The same inside a catch block, for the exception being handled.
void ReportTrappedError(bool isShown);

// The text on one line: every line break (CR LF, CR or LF) becomes one blank.
QString OneLine(QString text);

// Shows the modal boxes. The window installs one that shows real message boxes; tests install
// one that records. Without one, a box is written to standard error and answered with OK.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual qint16 show(qint32 style, const QString &prompt, const QString &title) = 0;
};

// Not owned; pass nullptr to go back to standard error.
void SetMessagePresenter(MessagePresenter *presenter);
MessagePresenter *CurrentMessagePresenter();

// Reports the current error in a box titled "VB Error" and clears it.
void ShowErrorBox();
// Shows a modal box and returns the code of the button pressed. A style outside 16 bits raises
// Overflow; an empty title becomes the program's name.
qint16 ShowMessageBox(qint32 buttons, const QString &prompt, const QString &title = QString());
