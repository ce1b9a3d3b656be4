// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/ManagerParsers.h"
#include "platform/wine/ManagerPlaces.h"
#include "platform/wine/PrefixReaders.h"
#include "platform/wine/ShellWords.h"
#include "platform/wine/VdfParser.h"

namespace gvt::platform {

namespace {

// The app ids of Steam's own Protons by the names its compatibility tool mapping gives them:
// Steam keeps this table in a binary cache of its own, so it is written down here.
const std::pair<const char*, const char*> kOwnTools[] = {{"proton_experimental", "1493710"},
                                                         {"proton_hotfix", "2180100"},
                                                         {"proton_10", "3658110"},
                                                         {"proton_9", "2805730"},
                                                         {"proton_8", "2348590"},
                                                         {"proton_7", "1887720"},
                                                         {"proton_63", "1580130"},
                                                         {"proton_513", "1420170"},
                                                         {"proton_5", "1245040"},
                                                         {"proton_411", "1113280"},
                                                         {"proton_42", "1054830"},
                                                         {"proton_316", "961940"},
                                                         {"proton_37", "858280"}};

// An app a library holds: its folder, or empty when no library has it installed.
struct InstalledApp {
    QString library;
    QString folder;
};

InstalledApp installedApp(const SteamPlaces& steam, const QString& appId) {
    for (const QString& library : steam.libraries) {
        const auto manifest = readManagerFile(library + QStringLiteral("/steamapps/appmanifest_") +
                                              appId + QStringLiteral(".acf"));
        if (!manifest)
            continue;
        const VdfNode app = parseVdfText(*manifest)["AppState"];
        const QByteArray folder = app["installdir"].value();
        // State 4: fully installed.
        if ((app["StateFlags"].value().toUInt() & 4) == 0 || folder.isEmpty() ||
            folder.contains('/'))
            continue;
        return {library, library + QStringLiteral("/steamapps/common/") + textOfFileName(folder)};
    }
    return {};
}

// The folder of a compatibility tool by the name Steam's mapping gives it: a third-party tool
// that declares that name, else one of Steam's own Protons.
QString toolFolderNamed(const QString& name, const SteamPlaces& steam) {
    for (const QString& tools : compatibilityToolFolders(steam)) {
        for (const QString& folder : entriesOf(tools)) {
            const QString path = tools + u'/' + folder;
            const VdfNode declared =
                parseVdfText(readManagerFile(path + QStringLiteral("/compatibilitytool.vdf"))
                                 .value_or(QByteArray()));
            const VdfNode& tool =
                declared.at({"compatibilitytools", "compat tools"})[name.toUtf8()];
            if (tool.isSection()) {
                const QString install = textOfFileName(tool["install_path"].value());
                return install.isEmpty() || install == u"." ? path
                       : install.startsWith(u'/')           ? install
                                                            : path + u'/' + install;
            }
        }
    }
    for (const auto& [tool, appId] : kOwnTools) {
        if (name == QLatin1String(tool))
            return installedApp(steam, QString::fromLatin1(appId)).folder;
    }
    return {};
}

// A tool's command as its toolmanifest.vdf gives it: the first word in its own folder, the verb
// put in.
QStringList toolCommand(const QString& folder, const QString& fallback, QString& requires_) {
    const VdfNode manifest =
        parseVdfText(readManagerFile(folder + QStringLiteral("/toolmanifest.vdf"))
                         .value_or(QByteArray()))["manifest"];
    requires_ = textOfFileName(manifest["require_tool_appid"].value());
    QString line = textOfFileName(manifest["commandline"].value());
    if (line.isEmpty())
        line = fallback;
    line.replace(QStringLiteral("%verb%"), QStringLiteral("waitforexitandrun"));
    QStringList words = splitShellWords(line).value_or(QStringList());
    if (!words.isEmpty() && words.first().startsWith(u'/'))
        words.first() = folder + words.first();
    return words;
}

} // namespace

// Steam's Proton keeps a prefix a game, "steamapps/compatdata/<id>/pfx", in every Steam
// library.
QList<KnownPrefix> readSteamPrefixes(const UserPlaces& places) {
    QList<KnownPrefix> found;
    for (const QString& library : steamPlaces(places).libraries) {
        const QString compatdata = library + QStringLiteral("/steamapps/compatdata");
        for (const QString& id : entriesOf(compatdata)) {
            const QString data = compatdata + u'/' + id;
            if (isFolder(data + QStringLiteral("/pfx")))
                found.append({QStringLiteral("Steam"), data + QStringLiteral("/pfx"), data, id});
        }
    }
    return found;
}

LaunchDescription describeSteamLaunch(const KnownPrefix& prefix, const UserPlaces& places,
                                      const Environment& environment) {
    LaunchDescription launch;
    const SteamPlaces steam = steamPlaces(places);
    const QString data = prefix.file;
    const QString appId = prefix.key;
    const InstalledApp game = installedApp(steam, appId);
    const bool steamGame = !game.folder.isEmpty();

    // The Proton: the one that last ran the prefix, else the one Steam maps the app to.
    QString proton;
    const auto config = readManagerFile(data + QStringLiteral("/config_info"));
    const QString named = config ? protonFolderOf(*config) : QString();
    if (!named.isEmpty() && isExecutableFile(named + QStringLiteral("/proton"))) {
        proton = named;
        launch.programSource =
            sourceIn(data + QStringLiteral("/config_info"),
                     QStringLiteral("the Proton that last ran the prefix"), places.home);
        // One on a removable disk, say: Steam would not run it, nor do we.
        if (!liesIn(named + QStringLiteral("/proton"), steamToolFolders(steam)))
            launch.missing = QStringLiteral("its Proton %1, which lies outside Steam's libraries "
                                            "and compatibility tool folders")
                                 .arg(shownPath(named, places.home));
    } else if (!steam.client.isEmpty()) {
        const QString configFile = steam.client + QStringLiteral("/config/config.vdf");
        const VdfNode mapping =
            parseVdfText(readManagerFile(configFile).value_or(QByteArray()))
                .at({"InstallConfigStore", "Software", "Valve", "Steam", "CompatToolMapping"});
        const VdfNode& chosen =
            mapping[appId.toUtf8()].isSection() ? mapping[appId.toUtf8()] : mapping["0"];
        const QString tool = textOfFileName(chosen["name"].value());
        proton = tool.isEmpty() ? QString() : toolFolderNamed(tool, steam);
        launch.programSource =
            sourceIn(configFile, QStringLiteral("CompatToolMapping: ") + tool, places.home);
        if (proton.isEmpty())
            launch.missing = tool.isEmpty()
                                 ? QStringLiteral("neither the prefix nor Steam names a Proton")
                                 : QStringLiteral("its Proton %1 is missing").arg(tool);
        else if (!liesIn(proton + QStringLiteral("/proton"), steamToolFolders(steam)))
            launch.missing = QStringLiteral("its Proton %1, which lies outside Steam's libraries "
                                            "and compatibility tool folders")
                                 .arg(shownPath(proton, places.home));
    } else {
        launch.missing = QStringLiteral("Steam itself was not found");
    }

    if (launch.missing.isEmpty()) {
        QString runtimeId;
        QStringList words = toolCommand(proton, QStringLiteral("/proton %verb%"), runtimeId);
        QStringList toolPaths{proton};
        // The Steam Linux Runtime the Proton asks for goes around it.
        if (!runtimeId.isEmpty()) {
            const QString runtime = installedApp(steam, runtimeId).folder;
            QString none;
            if (runtime.isEmpty())
                launch.notes.append(
                    QStringLiteral("The Steam Linux Runtime that this Proton needs "
                                   "(app %1) is not installed: Proton runs with its "
                                   "verb alone.")
                        .arg(runtimeId));
            else {
                words = toolCommand(runtime, QStringLiteral("/_v2-entry-point --verb=%verb% --"),
                                    none) +
                        words;
                toolPaths.append(runtime);
            }
        }
        launch.program = words.value(0);
        launch.programWords = words.mid(1);
        launch.set(QStringLiteral("STEAM_COMPAT_TOOL_PATHS"), toolPaths.join(u':'),
                   QStringLiteral("Steam's compatibility tool interface"));
    }

    const QString interface_ = QStringLiteral("Steam's compatibility tool interface");
    launch.set(QStringLiteral("STEAM_COMPAT_CLIENT_INSTALL_PATH"), steam.client, interface_);
    launch.set(QStringLiteral("STEAM_COMPAT_DATA_PATH"), data, interface_);
    launch.set(QStringLiteral("STEAM_COMPAT_LIBRARY_PATHS"), steam.libraries.join(u':'),
               interface_);
    if (steamGame) {
        launch.set(QStringLiteral("STEAM_COMPAT_APP_ID"), appId, interface_);
        launch.set(QStringLiteral("SteamAppId"), appId, interface_);
        launch.set(QStringLiteral("SteamGameId"), appId, interface_);
        launch.set(QStringLiteral("STEAM_COMPAT_INSTALL_PATH"), game.folder, interface_);
    } else {
        // A non-Steam game.
        launch.set(QStringLiteral("STEAM_COMPAT_APP_ID"), QStringLiteral("0"), interface_);
        launch.set(QStringLiteral("LD_LIBRARY_PATH"), QString(), interface_);
        for (const char* name : {"SteamAppId", "STEAM_COMPAT_INSTALL_PATH"}) {
            if (valueIn(environment, name))
                launch.removed.append({QString::fromLatin1(name), {}, interface_});
        }
    }
    launch.notes.append(QStringLiteral(
        "Left out: Steam's reaper and overlay; what Proton and the runtime write into the prefix "
        "is theirs, as under Steam."));

    // The user's launch options for the app, applied as Steam applies them.
    QString options, optionsFile;
    for (const QString& user : entriesOf(steam.client + QStringLiteral("/userdata"))) {
        const QString folder =
            steam.client + QStringLiteral("/userdata/") + user + QStringLiteral("/config");
        optionsFile = folder + (steamGame ? QStringLiteral("/localconfig.vdf")
                                          : QStringLiteral("/shortcuts.vdf"));
        const QByteArray content = readManagerFile(optionsFile).value_or(QByteArray());
        options =
            steamGame ? steamLaunchOptions(content, appId) : shortcutLaunchOptions(content, appId);
        if (!options.isEmpty())
            break;
    }
    if (options.isEmpty() || steam.client.isEmpty())
        return launch;
    const QString source =
        sourceIn(optionsFile, QStringLiteral("LaunchOptions of ") + appId, places.home);
    const Environment seen = environmentFor(launch, environment);
    const auto words = splitShellWords(expandVariables(
        options,
        [&](const QString& name) -> std::optional<QString> {
            const auto value = valueIn(seen, name.toUtf8());
            return value ? std::optional(textOfFileName(*value)) : std::nullopt;
        },
        UnknownVariable::Empty));
    if (!words) {
        launch.notes.append(QStringLiteral("The launch options have a quote that is never closed, "
                                           "and are left out."));
        return launch;
    }
    const qsizetype command = words->indexOf(QStringLiteral("%command%"));
    if (command < 0) {
        launch.afterGame.append({*words, source});
        return launch;
    }
    QStringList before = words->mid(0, command);
    // Variables first, as the shell takes them, then the commands that wrap the game.
    while (!before.isEmpty() && before.first().contains(u'=') &&
           isVariableName(before.first().section(u'=', 0, 0))) {
        const QString word = before.takeFirst();
        launch.set(word.section(u'=', 0, 0), word.section(u'=', 1), source);
    }
    if (!before.isEmpty())
        launch.wrappers.append({before, source});
    if (command + 1 < words->size())
        launch.afterGame.append({words->mid(command + 1), source});
    return launch;
}

} // namespace gvt::platform
