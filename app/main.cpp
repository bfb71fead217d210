#include "app/SingleInstance.h"
#include "base/ExecutableFolder.h"
#include "platform/NativeWindowLoss.h"
#include "services/MessageBoxPresenter.h"
#include "services/mdl_All.h"
#include "settings/SettingsLocations.h"
#include "settings/SettingsReload.h"
#include "ui/Frm_Item_FromIniFile.h"

#include <QApplication>
#include <QThreadPool>

namespace {

int Main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // Qt fills tall areas such as the scroll bar on pooled threads, which would then idle for half
    // a minute with their stacks and heaps; the palette paints such areas seldom.
    QThreadPool::globalInstance()->setExpiryTimeout(0);
    // A second start of the same executable brings the running palette to the front and ends
    // silently.
    if (AnotherInstanceRuns()) {
        BringInstanceToFront();
        return 0;
    }

    MessageBoxPresenter presenter;
    SetMessagePresenter(&presenter);

    AppPath = ExecutableFolder();
    ExeName = ExecutableBaseName();
    // Following the file from before it is read, so that a save meanwhile is not missed.
    SettingsReload reload(SettingsFileCandidates(AppPath, ExeName));
    LoadSettings();

    Frm_Item_FromIniFile window;
    QObject::connect(&window, &Frm_Item_FromIniFile::Unloaded, &EndApplication);
    window.show();
    window.FollowSettings(&reload);
    PublishInstanceWindow(std::uintptr_t(window.winId()));
    // A window destroyed from outside sends no close event; without it the process would live on
    // windowless and keep its lock.
    const WindowLossWatch watch([&window] { return std::uintptr_t(window.internalWinId()); }, &EndApplication);
    const int status = application.exec();
    ReleaseInstanceLock();
    SetMessagePresenter(nullptr);
    return status;
}

}

int main(int argc, char *argv[])
{
    return Main(argc, argv);
}
