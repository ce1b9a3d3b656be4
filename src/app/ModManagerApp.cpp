#include "app/ModManagerApp.h"

#include "app/MainWindow.h"
#include "platform/Platform.h"

namespace gvt::app {

int ModManagerApp::run() {
    platform::SystemProgramLocation program;
    platform::DetachedProcessStarter processes;
    platform::MediaSound sound(QStringLiteral("qrc:/sound/tune.wav"));
    platform::Platform services{program, processes, sound};
    MainWindow window(services);
    window.exec();
    return 0;
}

} // namespace gvt::app
