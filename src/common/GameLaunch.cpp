// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/GameLaunch.h"

#include "platform/GameInstall.h"
#include "platform/Platform.h"
#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"
#include "platform/files/PathLookup.h"
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
    platform.sound.stopAll();
    if (result == platform::StartResult::NoWine)
        return QString::fromLatin1(kNoWineMessage);
    return std::nullopt;
}

QString singlePlayerArguments(const QString& modFolder) {
    return QStringLiteral("+game ") + modFolder;
}

} // namespace gvt::common
