// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/UserPlaces.h"
#include "platform/wine/KnownPrefix.h"

#include <QStringList>

#include <optional>

// Which of a user's prefixes holds the game, and which holds this launcher's game.
namespace gvt::platform {

// Every prefix the user keeps, each once, in the order they are tried: $WINEPREFIX, ~/.wine,
// then those of the game managers. Only prefixes that exist.
QList<KnownPrefix> knownPrefixes(const UserPlaces& places);

// A game folder recorded in a prefix.
struct GameInPrefix {
    QString gameFolder; // GAMEDIR as recorded
    KnownPrefix prefix;
};

// The prefix whose GAMEDIR names the launcher's own folder on disk, tried in this order: the
// prefix that holds the launcher (as started, then as resolved), the one it was installed with,
// then knownPrefixes(); when none
// names it, the first with any GAMEDIR. `lookedIn` says, for the user, where it looked.
struct PrefixSearch {
    std::optional<GameInPrefix> found;
    QStringList lookedIn;
};
PrefixSearch findGamePrefix(const QString& launcherFolder, const UserPlaces& places);

// The prefix as the game manager that keeps it knows it, with that manager's way of starting a
// program there; as it is when no manager keeps it.
KnownPrefix withItsManager(const KnownPrefix& prefix, const UserPlaces& places);

// Every prefix the user keeps that records a game folder.
QList<GameInPrefix> findGames(const UserPlaces& places);

// The prefixes tried before the managers' for a launcher in `launcherFolder`: the one holding it
// (as started and as resolved), the one it was installed with, $WINEPREFIX, ~/.wine; the first
// is also where a program starts when no prefix records the game.
QList<KnownPrefix> nearPrefixes(const QString& launcherFolder, const UserPlaces& places);

} // namespace gvt::platform
