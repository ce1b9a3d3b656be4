#include "app/ModManagerApp.h"

#include "app/MainWindow.h"
#include "platform/Platform.h"
#include "platform/Tune.h"

namespace gvt::app {

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
