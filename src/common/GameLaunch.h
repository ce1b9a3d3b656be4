// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace gvt::platform {
struct GameInstall;
struct LaunchDescription;
struct Platform;
} // namespace gvt::platform

namespace gvt::common {

inline constexpr auto kPlacementMessage =
    "The Mod Manager has to be placed in the Grimvale directory";

inline constexpr auto kNoWineMessage =
    "The game could not be started: Wine was not found. Install Wine (Debian: the \"wine\" "
    "package), or set WINE to the wine program you use, and press Start again.";

// True when the launcher sits in the game folder: its own folder equals the game folder byte
// for byte; for a game folder inside the Wine prefix (a drive or network path), both are the same
// folder on disk.
bool isPlacedInGameFolder(const platform::Platform& platform, const platform::GameInstall& game,
                          const QString& gameFolder);

// Starts "<game folder>\gvtarsis.exe" with the argument text, then stops the tune. Returns the
// message to show when the game could not be started for want of Wine (the tune plays on).
[[nodiscard]] std::optional<QString> startGame(platform::Platform& platform,
                                               const platform::GameInstall& game,
                                               const QString& gameFolder,
                                               const QString& argumentText);

// What the user is told when the Wine, Proton or umu-run of the prefix's manager is missing.
QString missingWineMessage(const platform::LaunchDescription& launch);

// What the user is told of a game that ended within seconds of its start with a failure:
// `status` is its exit status, or minus the signal that ended it.
QString endedAtOnceMessage(int status);

// "+game <mod folder>", the single-player argument text.
QString singlePlayerArguments(const QString& modFolder);

} // namespace gvt::common
