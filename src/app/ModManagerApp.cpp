// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ModManagerApp.h"

#include "app/AppIcon.h"
#include "app/MainWindow.h"
#include "app/Placement.h"
#include "platform/Platform.h"
#include "platform/ProcessStart.h"
#include "platform/files/SaveJournal.h"
#include "platform/sound/Tune.h"
#include "ui/MessageBox.h"

#include <QApplication>

namespace gvt::app {

void ModManagerApp::setUpApplication() {
    QApplication::setWindowIcon(appIcon());
    QApplication::setDesktopFileName(QStringLiteral("org.gvtarsis.ModManager"));
}

int ModManagerApp::run(const QByteArray& startedAs) {
    // What a crash left half done is put right as the program comes to it, and told.
    platform::setRecoveryReporter([](const QString& text) {
        QWidget* owner = QApplication::activeModalWidget();
        ui::showMessage(owner ? owner : QApplication::activeWindow(), text,
                        ui::MessageIcon::Information);
    });
    platform::recoverInterruptedSaves();
    platform::SystemProgramLocation program(startedAs);
    platform::DetachedProcessStarter processes;
    platform::Tune sound(QStringLiteral(":/sound/tune.wav"));
    platform::Platform services{program, processes, sound};
    // Installed as a program of this machine, it places itself in the game folder first.
    MainWindow window(services, placeLauncher(services, platform::UserPlaces::ofThisUser(),
                                              askWhereToPlace, nullptr));
    window.exec();
    return 0;
}

} // namespace gvt::app
