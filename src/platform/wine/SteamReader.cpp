// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileName.h"
#include "platform/PathText.h"
#include "platform/wine/ManagerFiles.h"
#include "platform/wine/ManagerFolders.h"
#include "platform/wine/PrefixReaders.h"

#include <QSet>

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace gvt::platform {

namespace {

QStringList steamFolders(const UserPlaces& places) {
    return {places.home + QStringLiteral("/.steam/steam"),
            places.home + QStringLiteral("/.local/share/Steam"),
            places.dataHome + QStringLiteral("/Steam"),
            places.home + QStringLiteral("/.var/app/com.valvesoftware.Steam/.local/share/Steam")};
}

} // namespace

QString steamFolderOf(const UserPlaces& places) {
    for (const QString& folder : steamFolders(places)) {
        // ~/.steam/steam is a link to where Steam is; its programs want the folder itself.
        if (isFolder(folder + QStringLiteral("/steamapps")))
            return realFolderOf(folder);
    }
    return {};
}

// Steam's Proton keeps a prefix a game, "steamapps/compatdata/<id>/pfx", in every Steam
// library; the Proton that made it is named in "config_info" beside it, and starts programs as
// "proton run" with the Steam variables.
QList<KnownPrefix> readSteamPrefixes(const UserPlaces& places) {
    QStringList libraries;
    for (const QString& folder : steamFolders(places)) {
        if (!isFolder(folder + QStringLiteral("/steamapps")))
            continue;
        libraries.append(folder);
        for (const char* list : {"/steamapps/libraryfolders.vdf", "/config/libraryfolders.vdf"}) {
            if (const auto content = readManagerFile(folder + QString::fromLatin1(list)))
                libraries += steamLibraryFolders(*content);
        }
    }
    const QString client = steamFolderOf(places);
    QList<KnownPrefix> found;
    QSet<QPair<quint64, quint64>> seen; // ~/.steam/steam is usually a link to another
    for (const QString& library : libraries) {
        const QString folder = absolutePathOf(library, places.home);
        if (folder.isEmpty()) // a relative path names no folder of ours
            continue;
        const QString compatdata = folder + QStringLiteral("/steamapps/compatdata");
        struct stat st {};
        if (::stat(fileNameOfText(compatdata).constData(), &st) != 0 ||
            seen.contains({st.st_dev, st.st_ino}))
            continue;
        seen.insert({st.st_dev, st.st_ino});
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
                    {QStringLiteral("STEAM_COMPAT_CLIENT_INSTALL_PATH"), client}};
            }
            found.append(known);
        }
    }
    return found;
}

} // namespace gvt::platform
