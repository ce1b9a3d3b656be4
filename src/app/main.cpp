#include "app/ModManagerApp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    const QByteArray startedAs = argc > 0 ? QByteArray(argv[0]) : QByteArray();
    QApplication application(argc, argv);
    gvt::app::ModManagerApp::setUpApplication();
    return gvt::app::ModManagerApp().run(startedAs);
}
