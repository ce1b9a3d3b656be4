// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/ManagerParsers.h"
#include "platform/wine/ManagerPlaces.h"
#include "platform/wine/PrefixReaders.h"

namespace gvt::platform {

// Steam's Proton keeps a prefix a game, "steamapps/compatdata/<id>/pfx", in every Steam
// library; the Proton that made it is named in "config_info" beside it, and starts programs as
// "proton run" with the Steam variables.
QList<KnownPrefix> readSteamPrefixes(const UserPlaces& places) {
    const SteamPlaces steam = steamPlaces(places);
    QList<KnownPrefix> found;
    for (const QString& library : steam.libraries) {
        const QString compatdata = library + QStringLiteral("/steamapps/compatdata");
        for (const QString& id : entriesOf(compatdata)) {
            const QString data = compatdata + u'/' + id;
            if (!isFolder(data + QStringLiteral("/pfx")))
                continue;
            KnownPrefix known{QStringLiteral("Steam"), data + QStringLiteral("/pfx"), {}};
            const auto config = readManagerFile(data + QStringLiteral("/config_info"));
            const QString proton = config ? protonFolderOf(*config) : QString();
            if (!proton.isEmpty() && isExecutableFile(proton + QStringLiteral("/proton"))) {
                known.start.program = proton + QStringLiteral("/proton");
                known.start.arguments = {QStringLiteral("run")};
                known.start.variables = {
                    {QStringLiteral("STEAM_COMPAT_DATA_PATH"), data},
                    {QStringLiteral("STEAM_COMPAT_CLIENT_INSTALL_PATH"), steam.client}};
            }
            found.append(known);
        }
    }
    return found;
}

} // namespace gvt::platform
