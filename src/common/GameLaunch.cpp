// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/GameLaunch.h"

#include "platform/GameInstall.h"
#include "platform/Platform.h"
#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"
#include "platform/files/PathLookup.h"
#include "platform/wine/StartRecord.h"
#include "platform/wine/WindowsPaths.h"

namespace gvt::common {

bool isPlacedInGameFolder(const platform::Platform& platform, const platform::GameInstall& game,
                          const QString& gameFolder) {
    const QString programFolder = platform::programFolderOf(platform.program.programPath());
    // The launcher is a program of this machine: its path has no Windows text to compare.
    if (platform::isWindowsPathText(gameFolder))
        return platform::sameEntryOnDisk(platform::fileNameOfText(programFolder),
                                         game.resolve(gameFolder));
    return programFolder == gameFolder;
}

std::optional<QString> startGame(platform::Platform& platform, const platform::GameInstall& game,
                                 const QString& gameFolder, const QString& argumentText) {
    const platform::StartResult result =
        platform.processes.start(game, gameFolder + QStringLiteral("\\gvtarsis.exe"), argumentText);
    // Nothing started for want of a Wine: the tune plays on.
    if (result == platform::StartResult::NoWine)
        return QString::fromLatin1(kNoWineMessage);
    if (result == platform::StartResult::WineMissing)
        return missingWineMessage(game.launch);
    platform.sound.stopAll();
    return std::nullopt;
}

QString missingWineMessage(const platform::LaunchDescription& launch) {
    return QStringLiteral("The game could not be started in the %1 prefix %2: %3. Install it again "
                          "in %1, or choose another Wine for the game there, and press Start "
                          "again; no other Wine is started in a prefix %1 keeps.")
        .arg(launch.manager, platform::shownFileName(launch.prefix), launch.missing);
}

QString endedAtOnceMessage(int status) {
    return QStringLiteral("The game ended at once (%1). What it printed is in %2.")
        .arg(status >= 0 ? QStringLiteral("exit status %1").arg(status)
                         : QStringLiteral("signal %1").arg(-status),
             platform::shownFileName(platform::startRecordPath()));
}

QString singlePlayerArguments(const QString& modFolder) {
    return QStringLiteral("+game ") + modFolder;
}

} // namespace gvt::common
