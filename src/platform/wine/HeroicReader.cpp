// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/PathLookup.h"
#include "platform/wine/ManagerParsers.h"
#include "platform/wine/ManagerPlaces.h"
#include "platform/wine/PrefixReaders.h"
#include "platform/wine/ShellWords.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace gvt::platform {

namespace {

// Heroic's folders, native and as a Flatpak: config.json, GamesConfig/ and tools/.
QStringList heroicFolders(const UserPlaces& places) {
    return {places.configHome + QStringLiteral("/heroic"),
            places.home + QStringLiteral("/.var/app/com.heroicgameslauncher.hgl/config/heroic")};
}

QString heroicFolderOf(const QString& gameFile) {
    return QFileInfo(gameFile).absolutePath().section(u'/', 0, -2);
}

QString textOf(const QJsonValue& value) {
    return value.toString();
}

// Where a Proton game's prefix is: umu makes the folder Heroic names the prefix itself (its
// "pfx" leads back to it); Proton started directly keeps it in "pfx".
QString protonPrefixOf(const QString& winePrefix) {
    const QByteArray pfx = fileNameOfText(winePrefix + QStringLiteral("/pfx"));
    if (isFolder(pfx) && !sameEntryOnDisk(pfx, fileNameOfText(winePrefix)))
        return winePrefix + QStringLiteral("/pfx");
    return winePrefix;
}

// The umu-run Heroic uses: on PATH, else the one it keeps in its tools.
QString umuProgram(const QString& heroic) {
    if (const QString onPath = programOnPath(QStringLiteral("umu-run")); !onPath.isEmpty())
        return onPath;
    const QString own = heroic + QStringLiteral("/tools/runtimes/umu/umu_run.py");
    return isExecutableFile(own) ? own : QString();
}

// The Wine builds Heroic offers: its own tools, Lutris's runners, the Protons of Steam, the
// system's wine and the paths the user gave it.
bool heroicMayRun(const QString& bin, const QString& heroic, const UserPlaces& places) {
    if (bin == programOnPath(QStringLiteral("wine")) ||
        bin == programOnPath(QStringLiteral("wine64")))
        return true;
    const QJsonArray custom =
        QJsonDocument::fromJson(
            readManagerFile(heroic + QStringLiteral("/config.json")).value_or(QByteArray()))
            .object()[u"defaultSettings"]
            .toObject()[u"customWinePaths"]
            .toArray();
    for (const QJsonValue& path : custom) {
        if (path.toString() == bin)
            return true;
    }
    return liesIn(bin, QStringList{heroic + QStringLiteral("/tools"),
                                   places.dataHome + QStringLiteral("/lutris/runners/wine")} +
                           steamToolFolders(steamPlaces(places)));
}

} // namespace

// Heroic keeps one configuration a game, "GamesConfig/<game>.json", naming its prefix
// ("winePrefix") and its Wine ("wineVersion").
QList<KnownPrefix> readHeroicPrefixes(const UserPlaces& places) {
    QList<KnownPrefix> found;
    for (const QString& heroic : heroicFolders(places)) {
        const QString folder = heroic + QStringLiteral("/GamesConfig");
        const QByteArray global =
            readManagerFile(heroic + QStringLiteral("/config.json")).value_or(QByteArray());
        for (const QString& name : entriesOf(folder, QStringLiteral(".json"))) {
            const auto content = readManagerFile(folder + u'/' + name);
            for (const QString& game : content ? heroicGameNames(*content) : QStringList()) {
                const QJsonObject settings = heroicGameSettings(*content, global, game);
                const QString prefix = absolutePathOf(textOf(settings[u"winePrefix"]), places.home);
                if (prefix.isEmpty())
                    continue;
                const bool proton =
                    settings[u"wineVersion"].toObject()[u"type"].toString() == u"proton";
                found.append({QStringLiteral("Heroic"), proton ? protonPrefixOf(prefix) : prefix,
                              folder + u'/' + name, game});
            }
        }
    }
    return found;
}

LaunchDescription describeHeroicLaunch(const KnownPrefix& prefix, const UserPlaces& places,
                                       const Environment& environment) {
    LaunchDescription launch;
    const QString heroic = heroicFolderOf(prefix.file);
    const QJsonObject settings = heroicGameSettings(
        readManagerFile(prefix.file).value_or(QByteArray()),
        readManagerFile(heroic + QStringLiteral("/config.json")).value_or(QByteArray()),
        prefix.key);
    const auto source = [&](const QString& key) {
        return sourceIn(prefix.file, prefix.key + QStringLiteral(": ") + key, places.home);
    };
    const auto flag = [&](const char* key) { return settings[QLatin1String(key)].toBool(); };
    const QJsonObject wine = settings[u"wineVersion"].toObject();
    QString bin = wine[u"bin"].toString();
    bin.remove(u'\'');
    const bool proton = wine[u"type"].toString() == u"proton";
    const QString winePrefix = absolutePathOf(textOf(settings[u"winePrefix"]), places.home);
    const QString umu = proton && !flag("disableUMU") ? umuProgram(heroic) : QString();
    launch.programSource = source(QStringLiteral("wineVersion"));
    const QString kind = proton ? QStringLiteral("Proton") : QStringLiteral("Wine");
    if (!isExecutableFile(bin))
        launch.missing =
            QStringLiteral("its %1 %2 is missing").arg(kind, shownPath(bin, places.home));
    else if (!heroicMayRun(bin, heroic, places))
        launch.missing = QStringLiteral("its %1 %2, which lies outside Heroic's tools and the Wine "
                                        "builds it lists")
                             .arg(kind, shownPath(bin, places.home));

    launch.set(QStringLiteral("GAMEID"), QStringLiteral("umu-0"), QStringLiteral("Heroic"));
    for (const QJsonValue& each : settings[u"enviromentOptions"].toArray()) {
        const QJsonObject option = each.toObject();
        QString value = option[u"value"].toString();
        // A value in double quotes loses them, as Heroic takes them off.
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"')) {
            while (value.startsWith(u'"'))
                value.remove(0, 1);
            while (value.endsWith(u'"'))
                value.chop(1);
        }
        const QString key = option[u"key"].toString();
        if (isVariableName(key))
            launch.set(key, value, source(QStringLiteral("enviromentOptions: ") + key));
    }
    if (!valueIn(environment, "LD_PRELOAD") && !launch.variable(QStringLiteral("LD_PRELOAD")))
        launch.set(QStringLiteral("LD_PRELOAD"), QString(), QStringLiteral("Heroic"));
    if (proton) {
        launch.set(QStringLiteral("STEAM_COMPAT_CLIENT_INSTALL_PATH"),
                   places.home + QStringLiteral("/.steam/steam"), QStringLiteral("Heroic"));
        launch.set(QStringLiteral("WINEPREFIX"), winePrefix, source(QStringLiteral("winePrefix")));
        launch.set(QStringLiteral("STEAM_COMPAT_DATA_PATH"), winePrefix,
                   source(QStringLiteral("winePrefix")));
        launch.set(QStringLiteral("PROTONPATH"), QFileInfo(bin).absolutePath(),
                   source(QStringLiteral("wineVersion")));
    } else {
        launch.set(QStringLiteral("WINEPREFIX"), winePrefix, source(QStringLiteral("winePrefix")));
        // The user's own overrides, where they set some, go before Heroic's.
        QString overridesName = QStringLiteral("WINEDLLOVERRIDES");
        QString overrides = QStringLiteral("winemenubuilder.exe=d");
        for (const LaunchVariable& each : launch.variables) {
            if (each.name.compare(overridesName, Qt::CaseInsensitive) == 0) {
                overridesName = each.name;
                overrides = each.value + u';' + overrides;
            }
        }
        launch.set(overridesName, overrides, QStringLiteral("Heroic"));
    }
    if (flag("showFps"))
        launch.set(QStringLiteral("DXVK_HUD"), QStringLiteral("fps"),
                   source(QStringLiteral("showFps")));
    if (flag("enableFSR")) {
        launch.set(QStringLiteral("WINE_FULLSCREEN_FSR"), QStringLiteral("1"),
                   source(QStringLiteral("enableFSR")));
        const int sharpness = settings[u"maxSharpness"].toInt();
        launch.set(QStringLiteral("WINE_FULLSCREEN_FSR_STRENGTH"),
                   QString::number(sharpness ? sharpness : 2),
                   source(QStringLiteral("maxSharpness")));
    } else {
        launch.set(QStringLiteral("WINE_FULLSCREEN_FSR"), QStringLiteral("0"),
                   source(QStringLiteral("enableFSR")));
    }
    const auto sync = [&](const char* key, const char* on, const char* off) {
        if (flag(key) && !proton)
            launch.set(QString::fromLatin1(on), QStringLiteral("1"),
                       source(QString::fromLatin1(key)));
        else if (!flag(key) && proton)
            launch.set(QString::fromLatin1(off), QStringLiteral("1"),
                       source(QString::fromLatin1(key)));
    };
    sync("enableEsync", "WINEESYNC", "PROTON_NO_ESYNC");
    sync("enableFsync", "WINEFSYNC", "PROTON_NO_FSYNC");
    if (flag("eacRuntime"))
        launch.set(QStringLiteral("PROTON_EAC_RUNTIME"),
                   heroic + QStringLiteral("/tools/runtimes/eac_runtime"),
                   source(QStringLiteral("eacRuntime")));
    if (flag("battlEyeRuntime"))
        launch.set(QStringLiteral("PROTON_BATTLEYE_RUNTIME"),
                   heroic + QStringLiteral("/tools/runtimes/battleye_runtime"),
                   source(QStringLiteral("battlEyeRuntime")));
    if (proton) {
        const auto own = [&](const char* name, const QString& fallback) {
            const auto value = valueIn(environment, name);
            return value ? textOfFileName(*value) : fallback;
        };
        launch.set(QStringLiteral("STEAM_COMPAT_APP_ID"),
                   own("STEAM_COMPAT_APP_ID", QStringLiteral("0")), QStringLiteral("Heroic"));
        launch.set(QStringLiteral("SteamAppId"),
                   own("SteamAppId", launch.variable(QStringLiteral("STEAM_COMPAT_APP_ID"))->value),
                   QStringLiteral("Heroic"));
        launch.set(QStringLiteral("SteamGameId"), own("SteamGameId", QStringLiteral("heroic-0")),
                   QStringLiteral("Heroic"));
        launch.set(QStringLiteral("PROTON_LOG_DIR"), places.home, QStringLiteral("Heroic"));
    }
    launch.set(QStringLiteral("PROTON_VERB"), QStringLiteral("waitforexitandrun"),
               QStringLiteral("Heroic"));

    // The Wine or Proton: a Proton through umu-run where Heroic would use it, else with its verb.
    if (launch.missing.isEmpty()) {
        if (!umu.isEmpty()) {
            launch.program = umu;
            launch.gameAsLocalPath = true;
        } else {
            launch.program = bin;
            if (proton)
                launch.programWords = {QStringLiteral("waitforexitandrun")};
        }
    }

    // Wrappers, outermost first: the user's, then MangoHud and GameMode.
    for (const QJsonValue& each : settings[u"wrapperOptions"].toArray()) {
        const QJsonObject wrapper = each.toObject();
        const auto args = splitShellWords(wrapper[u"args"].toString());
        const QString exe = wrapper[u"exe"].toString();
        if (exe.isEmpty() || !args) {
            launch.notes.append(
                QStringLiteral("A wrapper Heroic could not split is left out: %1").arg(exe));
            continue;
        }
        launch.wrappers.append(
            {QStringList{exe} + *args, source(QStringLiteral("wrapperOptions"))});
    }
    if (flag("showMangohud")) {
        const QString mangohud = programOnPath(QStringLiteral("mangohud"));
        if (mangohud.isEmpty())
            launch.missing = QStringLiteral("MangoHud, which the game's settings ask for, is not "
                                            "installed");
        launch.wrappers.append(
            {{mangohud, QStringLiteral("--dlsym")}, source(QStringLiteral("showMangohud"))});
    }
    if (flag("useGameMode")) {
        const QString gamemode = programOnPath(QStringLiteral("gamemoderun"));
        if (gamemode.isEmpty())
            launch.missing =
                QStringLiteral("gamemoderun, which the game's settings ask for, is not "
                               "installed");
        launch.wrappers.append({{gamemode}, source(QStringLiteral("useGameMode"))});
    }
    launch.notes.append(QStringLiteral(
        "Left out, as it changes the prefix: Heroic's DXVK, VKD3D and winetricks installs and its "
        "prefix checks; gamescope and the Steam Runtime are not used."));
    return launch;
}

} // namespace gvt::platform
