// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/UserPlaces.h"
#include "platform/wine/KnownPrefix.h"
#include "platform/wine/LaunchDescription.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace gvt::platform {

// The game as the launcher finds it when it starts, once: the game folder its installer
// recorded, the Wine prefix in use with its manager and how that manager starts a program
// there. The main window, the editors and Start are handed this value; nothing reads the
// managers' files again.
struct GameInstall {
    QString gameFolder;   // GAMEDIR as read when the launcher started; empty when not found
    QStringList lookedIn; // where it was looked for, for the user
    // The prefix that records the game; where none does, the nearest one (the one holding the
    // launcher, the one it was installed with, $WINEPREFIX, ~/.wine), where a Windows program
    // is started all the same.
    KnownPrefix prefix;
    // How the prefix's manager starts a program there, read once with the rest.
    LaunchDescription launch;
    bool fromSettingsFile = false; // the installer's settings file gave the game folder

    // GAMEDIR read again from where it was found, as an editor does when it opens: the
    // settings file first, then the prefix's registry as it stands now.
    QString readGameFolder() const;

    // A path text ("<game folder>\Mods\…", "C:\…") as a path of this machine, as its bytes:
    // drive and network paths lead through the prefix in use.
    QByteArray resolve(const QString& pathText) const;

    // The character-type locale the game runs in (that of the launch, made UTF-8): its code page
    // is the one of the game's texts.
    QByteArray gameLocale() const;
};

// Looks the game up for a launcher at `launcherPath`: the installer's settings file (a native
// layout) first, else the prefix that records the launcher's own folder (compared on disk), else
// the first that records any; and how the prefix's manager starts a program there. Nothing is
// written anywhere.
GameInstall findGameInstall(const QString& launcherPath, const UserPlaces& places);

} // namespace gvt::platform
