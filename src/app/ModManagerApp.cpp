// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ModManagerApp.h"

#include "app/AppIcon.h"
#include "app/DesktopEntryId.h"
#include "app/MainWindow.h"
#include "app/Placement.h"
#include "common/CodePage.h"
#include "common/GameFolder.h"
#include "common/GameLaunch.h"
#include "platform/Platform.h"
#include "platform/ProcessStart.h"
#include "platform/files/FileHistory.h"
#include "platform/files/FileName.h"
#include "platform/files/SaveJournal.h"
#include "platform/sound/Tune.h"
#include "ui/MessageBox.h"
#include "ui/SortedList.h"

#include <QApplication>
#include <QStandardPaths>

#include <cstdio>

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
    platform::recoverInterruptedActions();
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
    const platform::GameInstall game =
        placeLauncher(services, platform::UserPlaces::ofThisUser(), askWhereToPlace, nullptr);
    common::useCodePageOfLocale(game.gameLocale());
    MainWindow window(services, game);
    window.exec();
    return 0;
}

int ModManagerApp::printWhere(const QByteArray& startedAs) {
    const platform::SystemProgramLocation program(startedAs);
    const platform::GameInstall game =
        platform::findGameInstall(program.programPath(), platform::UserPlaces::ofThisUser());
    if (game.gameFolder.isEmpty()) {
        std::fprintf(stderr, "%s\n",
                     common::gameNotFoundMessage(game.lookedIn).toLocal8Bit().constData());
        return 1;
    }
    // The first mod of the list, as the main window selects it.
    QStringList mods;
    for (const QString& folder : common::listModFolders(game, game.gameFolder))
        mods.append(common::displayNameOf(folder));
    ui::sortForList(mods);
    const platform::PreparedStart start =
        platform::prepareStart(game, game.gameFolder + QStringLiteral("\\gvtarsis.exe"),
                               common::singlePlayerArguments(common::folderNameOf(mods.value(0))));
    if (start.result == platform::StartResult::NoWine ||
        start.result == platform::StartResult::WineMissing) {
        std::fprintf(stderr, "%s\n",
                     (start.result == platform::StartResult::NoWine
                          ? QString::fromLatin1(common::kNoWineMessage)
                          : common::missingWineMessage(game.launch))
                         .toLocal8Bit()
                         .constData());
        return 1;
    }
    if (start.result != platform::StartResult::Started) {
        std::fprintf(stderr, "The game's program %s is not there.\n",
                     platform::fileNameOfText(game.gameFolder).constData());
        return 1;
    }
    // The head of a start record, without its last line, which would announce the output.
    QByteArray head = start.recordHead;
    head.chop(1);
    head = head.left(head.lastIndexOf('\n') + 1);
    std::fwrite(head.constData(), 1, size_t(head.size()), stdout);
    return 0;
}

} // namespace gvt::app
