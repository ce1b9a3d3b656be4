// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/ManagerParsers.h"
#include "platform/wine/ManagerPlaces.h"
#include "platform/wine/PrefixReaders.h"

namespace gvt::platform {

// Heroic keeps one configuration a game, "GamesConfig/<game>.json", naming its prefix
// ("winePrefix") and its Wine ("wineVersion": "bin"); a Proton there is started as "proton run"
// on a compatdata folder that holds the prefix in "pfx".
QList<KnownPrefix> readHeroicPrefixes(const UserPlaces& places) {
    QList<KnownPrefix> found;
    const QString client = steamPlaces(places).client;
    for (const QString& folder :
         {places.configHome + QStringLiteral("/heroic/GamesConfig"),
          places.home + QStringLiteral("/.var/app/com.heroicgameslauncher.hgl/config/heroic/"
                                       "GamesConfig")}) {
        for (const QString& name : entriesOf(folder, QStringLiteral(".json"))) {
            const auto content = readManagerFile(folder + u'/' + name);
            for (const HeroicGame& game : content ? heroicGames(*content) : QList<HeroicGame>()) {
                const QString prefix = absolutePathOf(game.winePrefix, places.home);
                if (prefix.isEmpty())
                    continue;
                KnownPrefix known{QStringLiteral("Heroic"), prefix, {}};
                const QString bin = absolutePathOf(game.wineBin, places.home);
                const bool runs = !bin.isEmpty() && isExecutableFile(bin);
                if (game.proton) {
                    known.folder = prefix + QStringLiteral("/pfx");
                    if (runs)
                        known.start = {
                            bin,
                            {QStringLiteral("run")},
                            {{QStringLiteral("STEAM_COMPAT_DATA_PATH"), prefix},
                             {QStringLiteral("STEAM_COMPAT_CLIENT_INSTALL_PATH"), client}}};
                } else if (runs) {
                    known.start.program = bin;
                }
                found.append(known);
            }
        }
    }
    return found;
}

} // namespace gvt::platform
