// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InstalledGames.h"

#include "platform/InstallerGameDir.h"
#include "platform/files/FileName.h"
#include "platform/files/PathLookup.h"
#include "platform/wine/PrefixLookup.h"
#include "platform/wine/WindowsPaths.h"

namespace gvt::platform {

QString placeOf(const QString& gameFolder, const QString& prefix) {
    if (isWindowsPathText(gameFolder))
        return textOfFileName(realFolderOf(resolvePathIn(gameFolder, prefix)));
    return realFolderOf(fileNameOfText(gameFolder)).isEmpty() ? QString() : gameFolder;
}

QList<InstalledGame> findInstalledGames(const UserPlaces& places) {
    QList<InstalledGame> games;
    if (const QString named = settingsFileGameDir(); !named.isEmpty()) {
        const QList<KnownPrefix> near = nearPrefixes(QString(), places);
        games.append({QStringLiteral("settings file"), QString(), named,
                      placeOf(named, near.isEmpty() ? QString() : near.first().folder)});
    }
    for (const GameInPrefix& game : findGames(places)) {
        if (const QString place = placeOf(game.gameFolder, game.prefix.folder); !place.isEmpty())
            games.append({game.prefix.manager, game.prefix.folder, game.gameFolder, place});
    }
    return games;
}

} // namespace gvt::platform
