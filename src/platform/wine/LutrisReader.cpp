// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/ManagerParsers.h"
#include "platform/wine/ManagerPlaces.h"
#include "platform/wine/PrefixReaders.h"

namespace gvt::platform {

// Lutris keeps one configuration a game, naming its prefix ("game: prefix:") and the Wine
// build it runs with ("wine: version:"), one of Lutris' own runners unless "system".
QList<KnownPrefix> readLutrisPrefixes(const UserPlaces& places) {
    QList<KnownPrefix> found;
    for (const QString& folder : {places.configHome + QStringLiteral("/lutris/games"),
                                  places.dataHome + QStringLiteral("/lutris/games")}) {
        for (const QString& name : entriesOf(folder, QStringLiteral(".yml"))) {
            const auto content = readManagerFile(folder + u'/' + name);
            if (!content)
                continue;
            const QString prefix = absolutePathOf(
                yamlScalar(*content, {QStringLiteral("game"), QStringLiteral("prefix")})
                    .value_or(QString()),
                places.home);
            if (prefix.isEmpty())
                continue;
            KnownPrefix known{QStringLiteral("Lutris"), prefix, {}};
            const QString version =
                yamlScalar(*content, {QStringLiteral("wine"), QStringLiteral("version")})
                    .value_or(QString());
            const QString wine = places.dataHome + QStringLiteral("/lutris/runners/wine/") +
                                 version + QStringLiteral("/bin/wine");
            if (!version.isEmpty() && version != u"system" && !version.contains(u'/') &&
                isExecutableFile(wine))
                known.start.program = wine;
            found.append(known);
        }
    }
    return found;
}

} // namespace gvt::platform
