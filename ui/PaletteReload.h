#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class SettingsReload;
struct ReloadRefusal;
class QWidget;

// The window's side of following its settings file: the settings a reload offers become the
// one Settings and the window rebuilds itself from them; a reload that is refused is told; and
// activating the window runs the reload's light check, for a share that sends no notifications.
class PaletteReload : public QObject {
    Q_OBJECT
public:
    PaletteReload(QWidget *window, SettingsReload *reload, std::function<void()> rebuild,
                  std::function<void(const ReloadRefusal &)> tellRefusal);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QPointer<SettingsReload> m_reload;
};
