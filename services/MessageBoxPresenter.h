#pragma once

#include "base/mdl_ErrorFunction.h"

#include <QList>
#include <QMessageBox>

// Shows the program's boxes as modal QMessageBoxes. The style value is the message box style:
// buttons in its lowest four bits, the icon in the next four, the default button in the next.
class MessageBoxPresenter : public MessagePresenter {
public:
    qint16 show(qint32 style, const QString &prompt, const QString &title) override;

    static QMessageBox::Icon IconOfStyle(qint32 style);
    // In the order they stand on the box; the set of OK alone for an unknown value.
    static QList<QMessageBox::StandardButton> ButtonsOfStyle(qint32 style);
    static QMessageBox::StandardButton DefaultButtonOfStyle(qint32 style);
    // The code returned for a button: OK 1, Cancel 2, Abort 3, Retry 4, Ignore 5, Yes 6, No 7.
    static qint16 CodeOfButton(QMessageBox::StandardButton button);
    // The prompt as the box shows it: a lone carriage return breaks the line too.
    static QString DisplayText(const QString &prompt);
};
