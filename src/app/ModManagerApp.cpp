// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ModManagerApp.h"

#include "app/AppIcon.h"
#include "app/DesktopEntryId.h"
#include "app/MainWindow.h"
#include "app/Placement.h"
#include "platform/Platform.h"
#include "platform/SaveJournal.h"
#include "platform/Tune.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QStandardPaths>

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
    // Started from a game's own menu entry, the windows carry that entry's id: the desktop
    // shows its icon and name.
    QApplication::setDesktopFileName(
        desktopEntryIdOf(program.programPath(),
                         QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             QStringLiteral("/applications")));
    platform::DetachedProcessStarter processes;
    platform::Tune sound(QStringLiteral(":/sound/tune.wav"));
    platform::Platform services{program, processes, sound};
    // Installed as a program of this machine, it places itself in the game folder first.
    MainWindow window(services, placeLauncher(services, askWhereToPlace, nullptr));
    window.exec();
    return 0;
}

} // namespace gvt::app
