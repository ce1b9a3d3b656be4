// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/UserPlaces.h"

#include <QList>
#include <QString>

namespace gvt::platform {

// A game the launcher could be placed in.
struct InstalledGame {
    QString manager; // "settings file", or the prefix's manager
    QString prefix;
    QString gameFolder; // the text the launcher finds
    QString place;      // where the launcher goes (empty when missing): see placeOf()
};

// Every game the user has: the settings file's (also when its folder is missing: it comes
// before any prefix), then each prefix's whose folder exists.
QList<InstalledGame> findInstalledGames(const UserPlaces& places);

// Where the launcher goes for a game folder text of a prefix: for a Windows path, the folder on
// disk it names; for a path of this machine, the text itself, which the launcher's own folder
// must spell byte for byte. Empty when there is no such folder.
QString placeOf(const QString& gameFolder, const QString& prefix);

} // namespace gvt::platform
