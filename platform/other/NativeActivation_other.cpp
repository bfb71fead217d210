#include "platform/NativeActivation.h"

#include <QGuiApplication>
#include <QWindow>

namespace NativeActivation {

std::string LaunchToken()
{
    return qEnvironmentVariable("XDG_ACTIVATION_TOKEN").toStdString();
}

bool ActivateOwnWindow(const std::string &token)
{
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return false;
    for (QWindow *window : QGuiApplication::topLevelWindows()) {
        if (!window->isVisible() || window->type() != Qt::Window || window->transientParent())
            continue;
        // Qt's Wayland platform asks xdg-activation with the token it finds here, and drops it
        // once used: a token is good for one activation.
        if (!token.empty())
            qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(token));
        window->requestActivate();
        return true;
    }
    return false;
}

}
