// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace gvt::platform {

// The user's folders and the Wine variables, taken from the environment once, at the top, and
// handed down: nothing below reads the environment for them.
struct UserPlaces {
    QString home;       // $HOME
    QString configHome; // $XDG_CONFIG_HOME, else ~/.config
    QString dataHome;   // $XDG_DATA_HOME, else ~/.local/share
    QString winePrefix; // $WINEPREFIX, or empty
    QString wine;       // $WINE, or empty
    // The prefix and the $WINE a launcher was installed with (kept by install.sh), or empty;
    // set for the launcher being looked up, never from the environment.
    QString installedPrefix;
    QString installedWine;

    static UserPlaces ofThisUser();
};

} // namespace gvt::platform
