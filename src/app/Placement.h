// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/GameInstall.h"
#include "platform/InstalledGames.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace gvt::platform {
struct Platform;
}

namespace gvt::app {

// Asks the user in which of the games found to place the Mod Manager: its index, or nothing
// for "don't place it".
using PlacementQuestion =
    std::function<std::optional<qsizetype>(const QList<platform::InstalledGame>& games)>;

// A launcher started outside any game folder (an installed program, from the menu) places
// itself: where a game folder already holds a link to it, it goes on as that link at once;
// else, with the games found (the settings file's and every known prefix's) whose folder holds
// no launcher yet and that the user has not declined before, it asks, links
// "<game folder>/gvtarsis-modmanager" to itself and goes on as that link, in that folder. A
// "no" is remembered for the folders offered. A link never replaces anything there; what goes
// wrong is told, over `owner`.
// Gives the game as the launcher finds it as it goes on: as it was started, or as that link.
platform::GameInstall placeLauncher(platform::Platform& platform,
                                    const platform::UserPlaces& places,
                                    const PlacementQuestion& ask, QWidget* owner);

// The question as the program asks it, in a dialog.
std::optional<qsizetype> askWhereToPlace(const QList<platform::InstalledGame>& games);

} // namespace gvt::app
