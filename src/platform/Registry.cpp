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

constexpr qsizetype kMaxGameDirBytes = 499;

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
        usePrefix(!near.isEmpty()               ? near.first().folder
                  : places.winePrefix.isEmpty() ? places.home + QStringLiteral("/.wine")
                                                : places.winePrefix);
    };
    const QString value = settingsFileGameDir();
    if (!value.isEmpty()) {
        useNearest();
        return {fileNameOfText(value).size() > kMaxGameDirBytes ? QString() : value, {}};
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

QList<InstalledGame> findInstalledGames() {
    const auto realFolder = [](const QString& path) {
        struct stat st {};
        char real[PATH_MAX];
        const QByteArray bytes = fileNameOfText(path);
        return path.isEmpty() || ::stat(bytes.constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
                       !::realpath(bytes.constData(), real)
                   ? QString()
                   : textOfFileName(real);
    };
    QList<InstalledGame> games;
    const QString named = settingsFileGameDir();
    if (const QString place = named.isEmpty() ? QString() : realFolder(resolvePath(named));
        !place.isEmpty())
        games.append({QStringLiteral("settings file"), QString(), named, place});
    for (const GameInPrefix& game : findGames(UserPlaces::ofThisUser())) {
        const QString place = realFolder(resolvePathIn(game.gameFolder, game.prefix.folder));
        if (!place.isEmpty())
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
