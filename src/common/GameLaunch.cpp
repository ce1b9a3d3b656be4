#include "common/GameLaunch.h"

#include "platform/Platform.h"

namespace gvt::common {

bool isPlacedInGameFolder(const platform::Platform& platform, const QString& gameFolder) {
    return platform::programFolderOf(platform.program.programPath()) == gameFolder;
}

void startGame(platform::Platform& platform, const QString& gameFolder,
               const QString& argumentText) {
    platform.processes.start(gameFolder + QStringLiteral("\\gvtarsis.exe"), argumentText);
    platform.sound.stopAll();
}

QString singlePlayerArguments(const QString& modFolder) {
    return QStringLiteral("+game ") + modFolder;
}

} // namespace gvt::common
