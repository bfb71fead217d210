#pragma once

#include <QLabel>
#include <QStringList>

struct ReloadRefusal;

// A line below the buttons that tells something the palette cannot do, in a few words; its
// tooltip says the whole of it. No colours of its own: the frame's caption colour, which reads on
// the frame.
class NoticeLine : public QLabel {
    Q_OBJECT
public:
    NoticeLine(const QString &name, const QString &text, QWidget *frame);

protected:
    void setMessage(const QString &message);
};

// While a reload keeps the settings the palette has: that the buttons stay, why, and the file.
class ReloadNotice : public NoticeLine {
    Q_OBJECT
public:
    explicit ReloadNotice(QWidget *frame);

    // Tells why the last reload was refused. True when the notice is to appear now; a notice that
    // stands already changes only the reason, so that it is said once.
    bool tell(const ReloadRefusal &refusal);

    static QString Text();
    static QString Message(const ReloadRefusal &refusal);
};

// While some global key could not be taken: each of them, with why.
class KeyNotice : public NoticeLine {
    Q_OBJECT
public:
    explicit KeyNotice(QWidget *frame);

    // Shows the lines, or hides the notice when there are none.
    void tell(const QStringList &refusals);

    static QString Text();
};
