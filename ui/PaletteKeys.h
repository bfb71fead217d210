#pragma once

#include "settings/Hotkey.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <cstdint>
#include <memory>

class Cls_MySettingFile;
struct ButtonItem;

namespace NativeGlobalKeys {
class Grabber;
struct Result;
}

// The palette's global keys: those its settings give, taken from the desktop; a press reported
// with the program the user was working in; and every key that could not be taken, with why.
class PaletteKeys : public QObject {
    Q_OBJECT
public:
    explicit PaletteKeys(QObject *parent = nullptr);
    ~PaletteKeys() override;

    // Takes the keys of these settings and of their buttons (as ButtonItems gave them), giving
    // up those taken before that are not among them.
    void take(Cls_MySettingFile &settings, const QList<ButtonItem> &buttons);

    // The key of an item's button, or of the built-in button, as its tooltip shows it: the key,
    // and why it does not work when it does not; empty for none.
    QString itemKeyTip(qint32 item) const;
    QString joinKeyTip() const;
    // One line for each key the palette does not have, with why; empty when it has them all.
    QStringList refusals() const;

signals:
    // target: the program of the window that had the focus when the key was pressed.
    void itemPressed(qint32 item, std::uint64_t target);
    void joinPressed(std::uint64_t target);
    void palettePressed();
    // What the tooltips and refusals say has changed.
    void changed();

private:
    void taken(const std::vector<NativeGlobalKeys::Result> &results);
    void pressed(int id);
    QString ownerName(const HotkeyAssignment &assignment) const;
    QString tipOf(HotkeyAssignment::Target target, qint32 item) const;
    QString refusalLine(const HotkeyRefusal &refusal) const;

    std::unique_ptr<NativeGlobalKeys::Grabber> m_grabber;
    HotkeyPlan m_plan;
    // Why each planned key (by its place in the plan) is not taken; none for a key taken.
    QHash<int, QString> m_notTaken;
    bool m_isUnavailable = false;
    QHash<qint32, QString> m_itemNames;
};
