// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Registry.h"

#include "platform/FileName.h"
#include "platform/PathText.h"
#include "platform/Platform.h"
#include "platform/wine/PrefixLookup.h"
#include "platform/wine/WinePrefix.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QStringList>

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace gvt::platform {

namespace {

QString settingsText(const QVariant& value) {
    // The settings file splits unquoted values at commas; join them back.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

QString applicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QSettings installerSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Oxley Games"),
                     QStringLiteral("Grimvale Tarsis"));
}

} // namespace

QString settingsFileGameDir() {
    const QSettings store = installerSettings();
    QFile file(store.fileName());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray value;
    bool general = true;
    for (const QByteArray& text : file.readAll().split('\n')) {
        const QByteArrayView line = QByteArrayView(text).trimmed();
        if (line.startsWith('[')) {
            general = line == "[General]";
        } else if (general && line.startsWith("GAMEDIR")) {
            const QByteArrayView rest = line.sliced(7).trimmed();
            if (rest.startsWith('='))
                value = rest.sliced(1).trimmed().toByteArray();
        }
    }
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        return settingsText(store.value(QStringLiteral("GAMEDIR")));
    return textOfFileName(value);
}

QString settingsFilePath() {
    return installerSettings().fileName();
}

GameDirLookup lookUpGameDir(const QString& launcherPath) {
    const QString launcherFolder = programFolderOf(launcherPath);
    const UserPlaces places = UserPlaces::ofThisUser();
    // Without a prefix that records the game, a Windows program starts in the nearest one.
    const auto useNearest = [&] {
        const QList<KnownPrefix> near = nearPrefixes(launcherFolder, places);
        usePrefix(near.isEmpty() ? QString() : near.first().folder); // none: $WINEPREFIX, ~/.wine
    };
    const QString value = settingsFileGameDir();
    if (!value.isEmpty()) {
        useNearest();
        if (fileNameOfText(value).size() <= kMaxGameDirBytes)
            return {value, {}};
        // The game itself reads no longer GAMEDIR; the prefixes are not looked in behind it.
        return {QString(),
                {QStringLiteral("the settings file %1, whose GAMEDIR is longer than the %2 "
                                "bytes the game reads")
                     .arg(shownFileName(settingsFilePath()))
                     .arg(kMaxGameDirBytes)}};
    }
    PrefixSearch search = findGamePrefix(launcherFolder, places);
    search.lookedIn.prepend(QStringLiteral("the settings file ") +
                            shownFileName(settingsFilePath()));
    if (!search.found) {
        useNearest();
        return {QString(), search.lookedIn};
    }
    usePrefix(search.found->prefix.folder);
    return {search.found->gameFolder, search.lookedIn};
}

namespace {

// Where the launcher goes for a game folder text: for a Windows path, the folder on disk it names
// (compared on disk); for a path of this machine, the text itself, which the launcher's own
// folder must spell byte for byte. Empty when there is no such folder.
QString placeOf(const QString& gameFolder, const QString& prefix) {
    if (isWindowsPathText(gameFolder))
        return realFolderOf(resolvePathIn(gameFolder, prefix));
    return realFolderOf(gameFolder).isEmpty() ? QString() : gameFolder;
}

} // namespace

QList<InstalledGame> findInstalledGames() {
    QList<InstalledGame> games;
    if (const QString named = settingsFileGameDir(); !named.isEmpty())
        games.append(
            {QStringLiteral("settings file"), QString(), named, placeOf(named, winePrefixInUse())});
    for (const GameInPrefix& game : findGames(UserPlaces::ofThisUser())) {
        if (const QString place = placeOf(game.gameFolder, game.prefix.folder); !place.isEmpty())
            games.append({game.prefix.manager, game.prefix.folder, game.gameFolder, place});
    }
    return games;
}

namespace {

QSettings configStore() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QStringLiteral("GVTarsis Mod Manager"), applicationName());
}

// Values set but not saved yet, or whose saving failed, by settings file and name: read back
// until the program ends, so that one unwritable folder does not turn into wrong values later.
QMap<QString, QMap<QString, QString>>& unsavedValues() {
    static QMap<QString, QMap<QString, QString>> values;
    return values;
}

} // namespace

QString readConfigValue(const QString& name) {
    const QSettings store = configStore();
    const QMap<QString, QString>& unsaved = unsavedValues()[store.fileName()];
    if (const auto value = unsaved.constFind(name); value != unsaved.constEnd())
        return *value;
    return settingsText(store.value(QStringLiteral("Config/") + name));
}

void setConfigValue(const QString& name, const QString& value) {
    unsavedValues()[configStore().fileName()].insert(name, value);
}

bool saveConfigValues() {
    QSettings store = configStore();
    QMap<QString, QString>& unsaved = unsavedValues()[store.fileName()];
    if (unsaved.isEmpty())
        return true;
    for (auto value = unsaved.constBegin(); value != unsaved.constEnd(); ++value)
        store.setValue(QStringLiteral("Config/") + value.key(), value.value());
    store.sync();
    if (store.status() != QSettings::NoError)
        return false;
    unsaved.clear();
    return true;
}

QString configFolder() {
    return QFileInfo(configStore().fileName()).absolutePath();
}

} // namespace gvt::platform
