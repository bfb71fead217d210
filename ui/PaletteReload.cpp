#include "ui/PaletteReload.h"

#include "services/mdl_All.h"
#include "settings/SettingsReload.h"

#include <QEvent>
#include <QWidget>

PaletteReload::PaletteReload(QWidget *window, SettingsReload *reload, std::function<void()> rebuild,
                             std::function<void(const ReloadRefusal &)> tellRefusal)
    : QObject(window), m_window(window), m_reload(reload)
{
    connect(reload, &SettingsReload::reloaded, this, [this, rebuild = std::move(rebuild)] {
        if (std::unique_ptr<Cls_MySettingFile> settings = m_reload->takeSettings()) {
            Settings = std::move(settings);
            rebuild();
        }
    });
    connect(reload, &SettingsReload::refused, this, std::move(tellRefusal));
    window->installEventFilter(this);
}

bool PaletteReload::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::ActivationChange && m_window->isActiveWindow() && m_reload)
        m_reload->check();
    return false;
}
