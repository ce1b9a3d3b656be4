#include "app/ModManagerApp.h"

#include "app/AppIcon.h"
#include "app/MainWindow.h"
#include "platform/Platform.h"
#include "platform/Tune.h"

#include <QApplication>

namespace gvt::app {

void ModManagerApp::setUpApplication() {
    QApplication::setWindowIcon(appIcon());
    QApplication::setDesktopFileName(QStringLiteral("org.gvtarsis.ModManager"));
}

int ModManagerApp::run(const QByteArray& startedAs) {
    platform::SystemProgramLocation program(startedAs);
    platform::DetachedProcessStarter processes;
    platform::Tune sound(QStringLiteral(":/sound/tune.wav"));
    platform::Platform services{program, processes, sound};
    MainWindow window(services);
    window.exec();
    return 0;
}

} // namespace gvt::app
