// SPDX-License-Identifier: GPL-3.0-or-later
// Tells the install script where the game is, found exactly as the launcher finds it. Paths go
// in and out as their own bytes, each field ended by a NUL, so that any folder name comes
// through:
//   gvtarsis-gamefolder             every game of every known prefix (and of the settings
//                                   file): manager, prefix, game folder text, folder on disk
//   gvtarsis-gamefolder FOLDER      the game whose folder on disk FOLDER is, in the same form;
//                                   FOLDER must be what the prefix holding it records
//   gvtarsis-gamefolder --prefix P  the game of the Wine prefix P, known or not
// Only games the launcher finds by itself once placed are given.
// Exit status 1 with a message when there is none.
#include "platform/InstalledGames.h"
#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"
#include "platform/files/PathLookup.h"
#include "platform/wine/PrefixLookup.h"
#include "platform/wine/WindowsPaths.h"
#include "platform/wine/WinePrefix.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sys/stat.h>

using namespace gvt::platform;

namespace {

QByteArray realFolder(const QString& path) {
    return realFolderOf(fileNameOfText(path));
}

void put(const QByteArray& field) {
    std::fwrite(field.constData(), 1, size_t(field.size()), stdout);
    std::fputc('\0', stdout);
}

// A game of a prefix, named after the manager that keeps it among the `known` games, or an
// explanation on standard error and nothing.
std::optional<InstalledGame> gameOfPrefix(const QString& prefix,
                                          const QList<InstalledGame>& known) {
    const QString recorded = prefixGameDir(prefix);
    if (recorded.isEmpty()) {
        std::fprintf(stderr,
                     "The Wine prefix %s records no game folder (GAMEDIR): run the game's own "
                     "installer in it, with the prefix's Wine.\n",
                     fileNameOfText(prefix).constData());
        return std::nullopt;
    }
    const QByteArray place = realFolderOf(resolvePathIn(recorded, prefix));
    if (place.isEmpty()) {
        std::fprintf(stderr, "The Wine prefix %s records the game folder %s, which is missing.\n",
                     fileNameOfText(prefix).constData(), fileNameOfText(recorded).constData());
        return std::nullopt;
    }
    InstalledGame game{QStringLiteral("Wine"), prefix, recorded, textOfFileName(place)};
    for (const InstalledGame& other : known) {
        if (!other.prefix.isEmpty() &&
            sameEntryOnDisk(fileNameOfText(other.prefix), fileNameOfText(prefix)))
            game.manager = other.manager;
    }
    return game;
}

// Whether the launcher placed in the game's folder, started from the menu with no variables
// set, finds this game's prefix by itself: the prefix holds the folder, or ~/.wine or a game
// manager keeps it. A prefix that only $WINEPREFIX names does not come with it.
bool foundFromTheMenu(const InstalledGame& game) {
    if (game.prefix.isEmpty())
        return true;
    UserPlaces places = UserPlaces::ofThisUser();
    places.winePrefix.clear();
    places.wine.clear();
    const PrefixSearch search = findGamePrefix(game.place, places);
    if (search.found &&
        sameEntryOnDisk(fileNameOfText(search.found->prefix.folder), fileNameOfText(game.prefix)))
        return true;
    std::fprintf(stderr,
                 "The game in %s lies outside its Wine prefix %s, which only $WINEPREFIX names: "
                 "started from the menu, the Mod Manager would not find that prefix. Keep the game "
                 "inside its prefix (below drive_c), or in a prefix of ~/.wine or of a game "
                 "manager.\n",
                 fileNameOfText(game.place).constData(), fileNameOfText(game.prefix).constData());
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QList<InstalledGame> games;
    if (argc > 2 && std::strcmp(argv[1], "--prefix") == 0) {
        const QString prefix = textOfFileName(argv[2]);
        if (!QFileInfo(prefix + QStringLiteral("/system.reg")).isFile()) {
            std::fprintf(stderr, "%s is not a Wine prefix (it has no system.reg).\n", argv[2]);
            return 1;
        }
        const auto game = gameOfPrefix(prefix, findInstalledGames(UserPlaces::ofThisUser()));
        if (!game || !foundFromTheMenu(*game))
            return 1;
        games.append(*game);
    } else if (argc > 1) {
        const QByteArray folder = realFolder(textOfFileName(argv[1]));
        if (folder.isEmpty()) {
            std::fprintf(stderr, "%s is not a folder.\n", argv[1]);
            return 1;
        }
        QString prefix = prefixHolding(textOfFileName(folder));
        // A game outside every prefix may still be one a known prefix records.
        const QList<InstalledGame> known = findInstalledGames(UserPlaces::ofThisUser());
        for (const InstalledGame& other : known) {
            if (prefix.isEmpty() && !other.prefix.isEmpty() &&
                other.place == textOfFileName(folder))
                prefix = other.prefix;
        }
        if (!prefix.isEmpty()) {
            const auto game = gameOfPrefix(prefix, known);
            if (!game)
                return 1;
            if (fileNameOfText(game->place) != folder) {
                std::fprintf(stderr, "The Wine prefix %s records another game folder: %s (%s).\n",
                             fileNameOfText(prefix).constData(),
                             fileNameOfText(game->gameFolder).constData(),
                             fileNameOfText(game->place).constData());
                return 1;
            }
            if (!foundFromTheMenu(*game))
                return 1;
            games.append(*game);
        } else {
            // In no prefix, the folder as given is what the settings file is to name.
            const QString given = textOfFileName(argv[1]);
            games.append({QStringLiteral("settings file"), QString(), given, given});
        }
    } else {
        games = findInstalledGames(UserPlaces::ofThisUser());
        games.removeIf([](const InstalledGame& game) { return !foundFromTheMenu(game); });
        if (games.isEmpty()) {
            std::fprintf(stderr, "No game folder found.\n");
            return 1;
        }
    }
    for (const InstalledGame& game : games) {
        put(game.manager.toUtf8());
        put(fileNameOfText(game.prefix));
        put(fileNameOfText(game.gameFolder));
        put(fileNameOfText(game.place));
    }
    return 0;
}
