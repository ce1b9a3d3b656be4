// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace gvt::platform {

// Where a user's prefixes are looked for, taken from the environment once, at the top, and
// handed down: nothing below reads the environment itself.
struct UserPlaces {
    QString home;       // $HOME
    QString configHome; // $XDG_CONFIG_HOME, else ~/.config
    QString dataHome;   // $XDG_DATA_HOME, else ~/.local/share
    QString stateHome;  // $XDG_STATE_HOME, else ~/.local/state
    QString winePrefix; // $WINEPREFIX, or empty
    QString wine;       // $WINE, or empty

    static UserPlaces ofThisUser();
};

// How a Windows program starts in a prefix: `program arguments… <executable> <words…>`, with
// these variables besides WINEPREFIX.
struct WineStart {
    QString program;       // empty: the wine program of this machine
    QStringList arguments; // before the executable: "run" for Proton
    QList<QPair<QString, QString>> variables;
};

// A Wine prefix a user keeps: who keeps it ("Wine", "Lutris", "Bottles", "Steam", "Heroic", as
// the user knows them), its folder, and how that manager starts a program in it.
struct KnownPrefix {
    QString manager;
    QString folder;
    WineStart start;
};

} // namespace gvt::platform
