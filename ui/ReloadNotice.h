#pragma once

#include <QLabel>

struct ReloadRefusal;

// The line below the buttons while a reload keeps the settings the palette has: a few words,
// and in its tooltip that the buttons stay, why, and the file. No colours of its own: the frame's
// caption colour, which reads on the frame.
class ReloadNotice : public QLabel {
    Q_OBJECT
public:
    explicit ReloadNotice(QWidget *frame);

    // Tells why the last reload was refused. True when the notice is to appear now; a notice that
    // stands already changes only the reason, so that it is said once.
    bool tell(const ReloadRefusal &refusal);

    static QString Text();
    static QString Message(const ReloadRefusal &refusal);
};
