#pragma once

#include <QString>

class QWidget;

namespace gvt::platform {
struct Platform;
}

namespace gvt::common {

inline constexpr auto kPlacementMessage =
    "The Mod Manager has to be placed in the Grimvale directory";

// True when the launcher's own folder equals the game folder, byte for byte.
bool isPlacedInGameFolder(const platform::Platform& platform, const QString& gameFolder);

// Starts "<game folder>\gvtarsis.exe" with the argument text, then stops the tune.
void startGame(platform::Platform& platform, const QString& gameFolder,
               const QString& argumentText);

// "+game <mod folder>", the single-player argument text.
QString singlePlayerArguments(const QString& modFolder);

} // namespace gvt::common
