// SPDX-License-Identifier: GPL-3.0-or-later
// Tells the install script where the game is, found exactly as the launcher finds it, and keeps
// for the launcher what it was installed with. Paths go in and out as their own bytes, each
// field ended by a NUL, so that any folder name comes through:
//   gvtarsis-gamefolder             every game of every known prefix (and of the settings
//                                   file): manager, prefix, game folder text, folder on disk
//   gvtarsis-gamefolder FOLDER      the game whose folder on disk FOLDER is, in the same form;
//                                   FOLDER must be what the prefix holding it records
//   gvtarsis-gamefolder --prefix P  the game of the Wine prefix P, known or not
//   gvtarsis-gamefolder --keep FOLDER PREFIX [WINE]
//                                   keeps the prefix (and $WINE) of the launcher placed in
//                                   FOLDER in that launcher's own settings
//   gvtarsis-gamefolder --forget FOLDER   forgets them again
// Only games the launcher finds by itself once placed are given: a prefix of no game manager
// counts as found, since install.sh keeps it for the launcher.
// Exit status 1 with one message that says what to do when there is none; with none at all
// (no argument), without a message: the install script says where to look.
#include "platform/InstalledGames.h"
#include "platform/ProgramSettings.h"
#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"
#include "platform/files/PathLookup.h"
#include "platform/wine/PrefixLookup.h"
#include "platform/wine/WindowsPaths.h"
#include "platform/wine/WinePrefix.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

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

// The launcher's own name: install.sh places it under this name, and its settings are named so.
const QString kLauncher = QStringLiteral("gvtarsis-modmanager");

// A game of a prefix, named after the manager that keeps it among the `known` games, or an
// explanation on standard error and nothing.
std::optional<InstalledGame> gameOfPrefix(const QString& prefix,
                                          const QList<InstalledGame>& known) {
    const QString recorded = prefixGameDir(prefix);
    if (recorded.isEmpty()) {
        std::fprintf(stderr,
                     "The Wine prefix %s records no game folder (GAMEDIR): run the game's own "
                     "installer in it, with the prefix's Wine, and install again.\n",
                     fileNameOfText(prefix).constData());
        return std::nullopt;
    }
    const QByteArray place = realFolderOf(resolvePathIn(recorded, prefix));
    if (place.isEmpty()) {
        std::fprintf(stderr,
                     "The Wine prefix %s records the game folder %s, which is missing: install "
                     "the game there again with its own installer, or name the game folder.\n",
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
// set, finds this game's prefix by itself: the prefix holds the folder, install.sh keeps it for
// the launcher (a prefix of no game manager), or ~/.wine or a game manager keeps it. It is not
// when a prefix tried before it records the same folder; `tell` says which.
bool foundFromTheMenu(const InstalledGame& game, bool tell) {
    if (game.prefix.isEmpty())
        return true;
    UserPlaces places = UserPlaces::ofThisUser();
    places.winePrefix.clear();
    places.wine.clear();
    if (game.manager == u"Wine")
        places.installedPrefix = game.prefix;
    const PrefixSearch search = findGamePrefix(game.place, places);
    if (search.found &&
        sameEntryOnDisk(fileNameOfText(search.found->prefix.folder), fileNameOfText(game.prefix)))
        return true;
    if (!tell)
        return false;
    if (search.found &&
        sameEntryOnDisk(fileNameOfText(game.place),
                        resolvePathIn(search.found->gameFolder, search.found->prefix.folder))) {
        const QByteArray first = fileNameOfText(search.found->prefix.folder);
        std::fprintf(stderr,
                     "The game folder %s is also recorded by the Wine prefix %s, which the Mod "
                     "Manager finds first from that folder: install it with --prefix %s.\n",
                     fileNameOfText(game.place).constData(), first.constData(), first.constData());
    } else {
        std::fprintf(stderr,
                     "Started from the menu, the Mod Manager would not find the Wine prefix %s "
                     "of the game in %s: keep the game inside its prefix (below drive_c).\n",
                     fileNameOfText(game.prefix).constData(),
                     fileNameOfText(game.place).constData());
    }
    return false;
}

// Keeps (or, without a prefix, forgets) what the launcher in `folder` was installed with.
int keepForLauncher(const QString& folder, const KeptInstall& kept) {
    const bool saved = kept.prefix.isEmpty() ? forgetInstall(kLauncher, folder)
                                             : keepInstall(kLauncher, folder, kept);
    if (saved)
        return 0;
    const QString file = QSettings(QSettings::NativeFormat, QSettings::UserScope,
                                   QStringLiteral("GVTarsis Mod Manager"), kLauncher)
                             .fileName();
    std::fprintf(stderr, "Cannot write %s: make it and its folder writable.\n",
                 fileNameOfText(file).constData());
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QList<InstalledGame> games;
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "--keep") == 0)
        return keepForLauncher(
            textOfFileName(argv[2]),
            {textOfFileName(argv[3]), argc == 5 ? textOfFileName(argv[4]) : QString()});
    if (argc == 3 && std::strcmp(argv[1], "--forget") == 0)
        return keepForLauncher(textOfFileName(argv[2]), {});
    if (argc > 2 && std::strcmp(argv[1], "--prefix") == 0) {
        const QString prefix = textOfFileName(argv[2]);
        if (!QFileInfo(prefix + QStringLiteral("/system.reg")).isFile()) {
            std::fprintf(stderr,
                         "%s is not a Wine prefix (it has no system.reg): name the folder that "
                         "holds the prefix's system.reg and drive_c.\n",
                         argv[2]);
            return 1;
        }
        const auto game = gameOfPrefix(prefix, findInstalledGames(UserPlaces::ofThisUser()));
        if (!game || !foundFromTheMenu(*game, true))
            return 1;
        games.append(*game);
    } else if (argc > 1) {
        const QByteArray folder = realFolder(textOfFileName(argv[1]));
        if (folder.isEmpty()) {
            std::fprintf(stderr,
                         "%s is not a folder: name the game folder, the one that holds "
                         "gvtarsis.exe.\n",
                         argv[1]);
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
                std::fprintf(stderr,
                             "The Wine prefix %s records another game folder: %s (%s). Name "
                             "that folder, or install the game into this one with its own "
                             "installer.\n",
                             fileNameOfText(prefix).constData(),
                             fileNameOfText(game->gameFolder).constData(),
                             fileNameOfText(game->place).constData());
                return 1;
            }
            if (!foundFromTheMenu(*game, true))
                return 1;
            games.append(*game);
        } else {
            // In no prefix, the folder as given is what the settings file is to name.
            const QString given = textOfFileName(argv[1]);
            games.append({QStringLiteral("settings file"), QString(), given, given});
        }
    } else {
        // A game left out here is found through another prefix, which is listed.
        games = findInstalledGames(UserPlaces::ofThisUser());
        games.removeIf([](const InstalledGame& game) { return !foundFromTheMenu(game, false); });
        if (games.isEmpty())
            return 1;
    }
    for (const InstalledGame& game : games) {
        put(game.manager.toUtf8());
        put(fileNameOfText(game.prefix));
        put(fileNameOfText(game.gameFolder));
        put(fileNameOfText(game.place));
    }
    return 0;
}
