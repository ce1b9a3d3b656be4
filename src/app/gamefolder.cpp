// Tells the install script where the game is, found exactly as the launcher finds it. Paths go
// in and out as their own bytes, each field ended by a NUL, so that any folder name comes
// through:
//   gvtarsis-gamefolder             every game of every known prefix (and of the settings
//                                   file): manager, prefix, game folder text, folder on disk
//   gvtarsis-gamefolder FOLDER      the game whose folder on disk FOLDER is, in the same form;
//                                   FOLDER must be what the prefix holding it records
// Exit status 1 with a message when there is none.
#include "platform/FileName.h"
#include "platform/PathText.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "platform/wine/PrefixLookup.h"
#include "platform/wine/WinePrefix.h"

#include <QCoreApplication>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

using namespace gvt::platform;

namespace {

QByteArray realFolder(const QString& path) {
    return fileNameOfText(realFolderOf(path));
}

void put(const QByteArray& field) {
    std::fwrite(field.constData(), 1, size_t(field.size()), stdout);
    std::fputc('\0', stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QList<InstalledGame> games;
    if (argc > 1) {
        const QByteArray folder = realFolder(textOfFileName(argv[1]));
        if (folder.isEmpty()) {
            std::fprintf(stderr, "%s is not a folder.\n", argv[1]);
            return 1;
        }
        const QString prefix = prefixHolding(textOfFileName(folder));
        const QString recorded = prefix.isEmpty() ? QString() : prefixGameDir(prefix);
        const QByteArray place =
            recorded.isEmpty() ? QByteArray() : realFolder(resolvePathIn(recorded, prefix));
        if (!prefix.isEmpty() && recorded.isEmpty()) {
            std::fprintf(stderr,
                         "The Wine prefix %s records no game folder (GAMEDIR): run the game's "
                         "own installer in it, with the prefix's Wine.\n",
                         fileNameOfText(prefix).constData());
            return 1;
        }
        if (!recorded.isEmpty() && place != folder) {
            std::fprintf(stderr, "The Wine prefix %s records another game folder: %s (%s).\n",
                         fileNameOfText(prefix).constData(), fileNameOfText(recorded).constData(),
                         place.isEmpty() ? "missing" : place.constData());
            return 1;
        }
        // In no prefix, the folder as given is what the settings file is to name.
        const QString given = textOfFileName(argv[1]);
        games.append(
            recorded.isEmpty()
                ? InstalledGame{QStringLiteral("settings file"), QString(), given, given}
                : InstalledGame{QStringLiteral("Wine"), prefix, recorded, textOfFileName(folder)});
        // The launcher names the manager that keeps the prefix, as a listing would.
        for (const InstalledGame& known : findInstalledGames()) {
            if (known.place == games.first().place && !known.prefix.isEmpty())
                games.first().manager = known.manager;
        }
    } else {
        games = findInstalledGames();
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
