#include "app/ModManagerApp.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    // The tune is MPEG audio inside a wave file: only the GStreamer back end plays it.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/icon.png")));
    QApplication::setApplicationDisplayName(QStringLiteral("GVTarsis Mod Manager"));
    QApplication::setDesktopFileName(QStringLiteral("org.gvtarsis.ModManager"));
    return gvt::app::ModManagerApp().run();
}
