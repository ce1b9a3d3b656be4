// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/GameInstall.h"

#include "platform/GameEnvironment.h"
#include "platform/InstallerGameDir.h"
#include "platform/ProgramSettings.h"
#include "platform/files/FileName.h"
#include "platform/files/PathLookup.h"
#include "platform/wine/PrefixLookup.h"
#include "platform/wine/PrefixReaders.h"
#include "platform/wine/WindowsPaths.h"
#include "platform/wine/WinePrefix.h"

namespace gvt::platform {

namespace {

// The game itself reads no longer GAMEDIR; the prefixes are not looked in behind it.
QString tooLongLine() {
    return QStringLiteral("the settings file %1, whose GAMEDIR is longer than the %2 bytes the "
                          "game reads")
        .arg(shownFileName(settingsFilePath()))
        .arg(kMaxGameDirBytes);
}

} // namespace

QString GameInstall::readGameFolder() const {
    if (const QString value = settingsFileGameDir(); !value.isEmpty())
        return fileNameOfText(value).size() <= kMaxGameDirBytes ? value : QString();
    return prefix.folder.isEmpty() ? QString() : prefixGameDir(prefix.folder);
}

QByteArray GameInstall::resolve(const QString& pathText) const {
    return resolvePathIn(pathText, prefix.folder);
}

QByteArray GameInstall::gameLocale() const {
    return gameLocaleOf(environmentFor(launch, environmentOfThisProcess()));
}

namespace {

GameInstall lookUpGame(const QString& launcherPath, const UserPlaces& places) {
    const QString launcherFolder = programFolderOf(launcherPath);
    GameInstall install;
    // Without a prefix that records the game, a Windows program starts in the nearest one;
    // where there is none yet, Wine makes $WINEPREFIX, else ~/.wine.
    const auto useNearest = [&] {
        const QList<KnownPrefix> near = nearPrefixes(launcherFolder, places);
        install.prefix = near.isEmpty() ? KnownPrefix{QStringLiteral("Wine"),
                                                      places.winePrefix.isEmpty()
                                                          ? places.home + QStringLiteral("/.wine")
                                                          : places.winePrefix,
                                                      {},
                                                      {}}
                                        : withItsManager(near.first(), places);
    };
    if (const QString value = settingsFileGameDir(); !value.isEmpty()) {
        useNearest();
        install.fromSettingsFile = true;
        if (fileNameOfText(value).size() <= kMaxGameDirBytes)
            install.gameFolder = value;
        else
            install.lookedIn = {tooLongLine()};
        return install;
    }
    PrefixSearch search = findGamePrefix(launcherFolder, places);
    install.lookedIn = search.lookedIn;
    install.lookedIn.prepend(QStringLiteral("the settings file ") +
                             shownFileName(settingsFilePath()));
    if (!search.found) {
        useNearest();
        return install;
    }
    install.gameFolder = search.found->gameFolder;
    install.prefix = withItsManager(search.found->prefix, places);
    return install;
}

} // namespace

GameInstall findGameInstall(const QString& launcherPath, const UserPlaces& places) {
    // Started from its menu entry, the launcher has no variables: what it was installed with
    // was kept for it.
    UserPlaces own = places;
    const KeptInstall kept = readKeptInstall(programFolderOf(launcherPath));
    own.installedPrefix = kept.prefix;
    own.installedWine = kept.wine;
    GameInstall install = lookUpGame(launcherPath, own);
    install.launch = describeLaunch(install.prefix, own, environmentOfThisProcess());
    return install;
}

} // namespace gvt::platform
