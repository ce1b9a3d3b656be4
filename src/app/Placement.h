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

// What the user answers: place it in a game (its index), don't place it (remembered), or not
// now (Escape, the close box: asked again at the next start).
struct PlacementAnswer {
    enum class Kind { Place, DontPlace, NotNow };
    Kind kind = Kind::NotNow;
    qsizetype game = -1;
};

// Asks the user in which of the games found to place the Mod Manager.
using PlacementQuestion =
    std::function<PlacementAnswer(const QList<platform::InstalledGame>& games)>;

// A launcher started outside any game folder (an installed program, from the menu) places
// itself: where a game folder already holds a link to it, it goes on as that link at once;
// else, with the games found (the settings file's and every known prefix's) whose folder holds
// no launcher yet and that the user has not declined before, it asks, links
// "<game folder>/gvtarsis-modmanager" to itself and goes on as that link, in that folder. A
// "no" is remembered for the folders offered; so is a folder where the link could not be made,
// after the user is told why and how to place it by hand, over `owner`. A link never replaces
// anything there: one that another launcher just made to this program is gone on as.
// Gives the game as the launcher finds it as it goes on: as it was started, or as that link.
platform::GameInstall placeLauncher(platform::Platform& platform,
                                    const platform::UserPlaces& places,
                                    const PlacementQuestion& ask, QWidget* owner);

// The question as the program asks it, in a dialog.
PlacementAnswer askWhereToPlace(const QList<platform::InstalledGame>& games);

} // namespace gvt::app
