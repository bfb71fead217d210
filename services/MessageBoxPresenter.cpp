#include "services/MessageBoxPresenter.h"

#include <QApplication>

qint16 MessageBoxPresenter::show(qint32 style, const QString &prompt, const QString &title)
{
    QMessageBox box(IconOfStyle(style), title, DisplayText(prompt), QMessageBox::NoButton, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    for (QMessageBox::StandardButton button : ButtonsOfStyle(style))
        box.addButton(button);
    box.setDefaultButton(DefaultButtonOfStyle(style));
    return CodeOfButton(static_cast<QMessageBox::StandardButton>(box.exec()));
}

QMessageBox::Icon MessageBoxPresenter::IconOfStyle(qint32 style)
{
    switch (style & 0xF0) {
    case 16: return QMessageBox::Critical;
    case 32: return QMessageBox::Question;
    case 48: return QMessageBox::Warning;
    case 64: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

QList<QMessageBox::StandardButton> MessageBoxPresenter::ButtonsOfStyle(qint32 style)
{
    switch (style & 0xF) {
    case 1: return {QMessageBox::Ok, QMessageBox::Cancel};
    case 2: return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case 3: return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case 4: return {QMessageBox::Yes, QMessageBox::No};
    case 5: return {QMessageBox::Retry, QMessageBox::Cancel};
    default: return {QMessageBox::Ok};
    }
}

QMessageBox::StandardButton MessageBoxPresenter::DefaultButtonOfStyle(qint32 style)
{
    const QList<QMessageBox::StandardButton> buttons = ButtonsOfStyle(style);
    const qsizetype index = (style & 0xF00) >> 8;
    return index < buttons.size() ? buttons.at(index) : buttons.first();
}

qint16 MessageBoxPresenter::CodeOfButton(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Cancel: return 2;
    case QMessageBox::Abort: return 3;
    case QMessageBox::Retry: return 4;
    case QMessageBox::Ignore: return 5;
    case QMessageBox::Yes: return 6;
    case QMessageBox::No: return 7;
    default: return MsgBox::Ok;
    }
}

QString MessageBoxPresenter::DisplayText(const QString &prompt)
{
    QString text = prompt;
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}
