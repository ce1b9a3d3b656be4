// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/PrefixLookup.h"

#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"
#include "platform/files/PathLookup.h"
#include "platform/wine/ManagerPlaces.h"
#include "platform/wine/PrefixReaders.h"
#include "platform/wine/WindowsPaths.h"
#include "platform/wine/WinePrefix.h"

#include <QHash>

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace gvt::platform {

namespace {

// Prefixes each once, by the folder on disk, in the order first met; those that do not exist
// are left out. A prefix met again from a manager takes that manager and its Wine.
class PrefixList {
public:
    bool add(const KnownPrefix& prefix) {
        struct stat st {};
        if (prefix.folder.isEmpty() ||
            ::stat(fileNameOfText(prefix.folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            return false;
        const QPair<quint64, quint64> id{st.st_dev, st.st_ino};
        if (const auto known = m_seen.constFind(id); known != m_seen.constEnd()) {
            KnownPrefix& first = m_prefixes[*known];
            if (first.manager == u"Wine" && prefix.manager != u"Wine")
                first = {prefix.manager, first.folder, prefix.file, prefix.key};
            return false;
        }
        m_seen.insert(id, m_prefixes.size());
        m_prefixes.append(prefix);
        return true;
    }
    const QList<KnownPrefix>& prefixes() const { return m_prefixes; }

private:
    QHash<QPair<quint64, quint64>, qsizetype> m_seen;
    QList<KnownPrefix> m_prefixes;
};

QString lookedInLine(const KnownPrefix& prefix) {
    const QString kind = prefix.manager == u"Wine"
                             ? QStringLiteral("the Wine prefix")
                             : QStringLiteral("the %1 prefix").arg(prefix.manager);
    return kind + u' ' + shownFileName(prefix.folder);
}

} // namespace

QList<KnownPrefix> nearPrefixes(const QString& launcherFolder, const UserPlaces& places) {
    PrefixList list;
    if (!launcherFolder.isEmpty()) {
        list.add({QStringLiteral("Wine"), prefixHolding(launcherFolder), {}, {}});
        if (const QString real = textOfFileName(realFolderOf(fileNameOfText(launcherFolder)));
            real != launcherFolder)
            list.add({QStringLiteral("Wine"), prefixHolding(real), {}, {}});
    }
    if (!places.installedPrefix.isEmpty())
        list.add({QStringLiteral("Wine"), places.installedPrefix, {}, {}});
    if (!places.winePrefix.isEmpty())
        list.add({QStringLiteral("Wine"), places.winePrefix, {}, {}});
    list.add({QStringLiteral("Wine"), places.home + QStringLiteral("/.wine"), {}, {}});
    return list.prefixes();
}

QList<KnownPrefix> knownPrefixes(const UserPlaces& places) {
    PrefixList list;
    for (const KnownPrefix& prefix : nearPrefixes(QString(), places))
        list.add(prefix);
    for (const PrefixReader& reader : prefixReaders()) {
        for (const KnownPrefix& prefix : reader.prefixes(places))
            list.add(prefix);
    }
    return list.prefixes();
}

PrefixSearch findGamePrefix(const QString& launcherFolder, const UserPlaces& places) {
    PrefixSearch search;
    const auto names = [&](const KnownPrefix& prefix) {
        search.lookedIn.append(lookedInLine(prefix));
        const QString gameFolder = prefixGameDir(prefix.folder);
        if (gameFolder.isEmpty())
            return false;
        if (!search.found)
            search.found = GameInPrefix{gameFolder, prefix};
        if (!sameEntryOnDisk(fileNameOfText(launcherFolder),
                             resolvePathIn(gameFolder, prefix.folder)))
            return false;
        search.found = GameInPrefix{gameFolder, prefix};
        return true;
    };
    // The managers' files are read only when no nearer prefix holds this launcher's game.
    PrefixList near;
    for (const KnownPrefix& prefix : nearPrefixes(launcherFolder, places)) {
        near.add(prefix);
        if (names(prefix))
            return search;
    }
    const QString wine = places.home + QStringLiteral("/.wine");
    if (!isFolder(wine))
        search.lookedIn.append(QStringLiteral("the Wine prefix ") + shownFileName(wine) +
                               QStringLiteral(", which does not exist"));
    bool managed = false;
    for (const PrefixReader& reader : prefixReaders()) {
        for (const KnownPrefix& prefix : reader.prefixes(places)) {
            managed = true;
            if (near.add(prefix) && names(prefix))
                return search;
        }
    }
    if (!managed)
        search.lookedIn.append(
            QStringLiteral("the prefixes of Lutris, Bottles, Steam's Proton and Heroic: none"));
    return search;
}

KnownPrefix withItsManager(const KnownPrefix& prefix, const UserPlaces& places) {
    if (prefix.manager != u"Wine")
        return prefix;
    const QByteArray folder = fileNameOfText(prefix.folder);
    for (const PrefixReader& reader : prefixReaders()) {
        for (const KnownPrefix& managed : reader.prefixes(places)) {
            if (sameEntryOnDisk(fileNameOfText(managed.folder), folder))
                return {managed.manager, prefix.folder, managed.file, managed.key};
        }
    }
    return prefix;
}

QList<GameInPrefix> findGames(const UserPlaces& places) {
    QList<GameInPrefix> games;
    for (const KnownPrefix& prefix : knownPrefixes(places)) {
        const QString gameFolder = prefixGameDir(prefix.folder);
        if (!gameFolder.isEmpty())
            games.append({gameFolder, prefix});
    }
    return games;
}

std::span<const PrefixReader> prefixReaders() {
    static constexpr PrefixReader kReaders[] = {
        {"Lutris", readLutrisPrefixes, describeLutrisLaunch},
        {"Bottles", readBottlesPrefixes, describeBottlesLaunch},
        {"Steam", readSteamPrefixes, describeSteamLaunch},
        {"Heroic", readHeroicPrefixes, describeHeroicLaunch}};
    return kReaders;
}

LaunchDescription describeLaunch(const KnownPrefix& prefix, const UserPlaces& places,
                                 const Environment& environment) {
    LaunchDescription launch;
    for (const PrefixReader& reader : prefixReaders()) {
        if (prefix.manager == QLatin1String(reader.manager))
            launch = reader.describe(prefix, places, environment);
    }
    launch.manager = prefix.manager;
    launch.prefix = prefix.folder;
    if (prefix.manager == u"Wine") {
        launch.set(QStringLiteral("WINEPREFIX"), prefix.folder,
                   places.winePrefix == prefix.folder ? QStringLiteral("$WINEPREFIX")
                                                      : QStringLiteral("the prefix in use"));
    }
    // $WINE is the user's choice, over any manager's. In the plain prefix the launcher was
    // installed with, the $WINE of that install stands in for it: the menu sets none.
    const bool installedWine =
        places.wine.isEmpty() && !places.installedWine.isEmpty() && prefix.manager == u"Wine" &&
        sameEntryOnDisk(fileNameOfText(places.installedPrefix), fileNameOfText(prefix.folder));
    if (prefix.manager == u"Wine" || !places.wine.isEmpty()) {
        if (!launch.program.isEmpty() || !launch.missing.isEmpty())
            launch.notes.append(QStringLiteral("$WINE is used instead of %1.")
                                    .arg(launch.program.isEmpty() ? launch.missing
                                                                  : shownFileName(launch.program)));
        launch.program = wineProgram(installedWine ? places.installedWine : places.wine);
        launch.programSource = installedWine ? QStringLiteral("$WINE when it was installed")
                               : places.wine.isEmpty() ? QStringLiteral("wine on PATH")
                                                       : QStringLiteral("$WINE");
        launch.programWords.clear();
        launch.gameAsLocalPath = false;
        launch.missing.clear();
    }
    return launch;
}

} // namespace gvt::platform
