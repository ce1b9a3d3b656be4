#include "app/AppIcon.h"
#include "app/ModManagerApp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    const QByteArray startedAs = argc > 0 ? QByteArray(argv[0]) : QByteArray();
    QApplication application(argc, argv);
    QApplication::setWindowIcon(gvt::app::appIcon());
    QApplication::setApplicationDisplayName(QStringLiteral("GVTarsis Mod Manager"));
    QApplication::setDesktopFileName(QStringLiteral("org.gvtarsis.ModManager"));
    return gvt::app::ModManagerApp().run(startedAs);
}
