// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/ManagerParsers.h"
#include "platform/wine/ManagerPlaces.h"
#include "platform/wine/PrefixReaders.h"

namespace gvt::platform {

// Bottles keeps each bottle, a prefix, in a folder of its own with a bottle.yml whose "Runner"
// names the Wine build in the "runners" folder beside the bottles; a "sys-" runner is the
// system's Wine. The Flatpak of Bottles keeps the same below its own data folder.
QList<KnownPrefix> readBottlesPrefixes(const UserPlaces& places) {
    QList<KnownPrefix> found;
    for (const QString& data :
         {places.dataHome + QStringLiteral("/bottles"),
          places.home + QStringLiteral("/.var/app/com.usebottles.bottles/data/bottles")}) {
        const QString bottles = data + QStringLiteral("/bottles");
        for (const QString& name : entriesOf(bottles)) {
            const QString folder = bottles + u'/' + name;
            const auto content = readManagerFile(folder + QStringLiteral("/bottle.yml"));
            const auto runner =
                content ? yamlScalar(*content, {QStringLiteral("Runner")}) : std::nullopt;
            if (!runner && !(content && yamlScalar(*content, {QStringLiteral("Name")})))
                continue;
            KnownPrefix known{QStringLiteral("Bottles"), folder, {}};
            const QString wine = data + QStringLiteral("/runners/") + runner.value_or(QString()) +
                                 QStringLiteral("/bin/wine");
            if (runner && !runner->isEmpty() && !runner->startsWith(QStringLiteral("sys-")) &&
                !runner->contains(u'/') && isExecutableFile(wine))
                known.start.program = wine;
            found.append(known);
        }
    }
    return found;
}

} // namespace gvt::platform
