// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/FileIo.h"
#include "platform/wine/ManagerPlaces.h"
#include "platform/wine/PrefixReaders.h"
#include "platform/wine/ShellWords.h"
#include "platform/wine/YamlParser.h"

#include <QCollator>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <sys/syscall.h>
#include <unistd.h>

namespace gvt::platform {

namespace {

// Where Lutris keeps its configuration (games/, runners/, system.yml) and its data (runners,
// runtime), native and as a Flatpak. A configuration in ~/.config/lutris is used where that
// folder is there, else the one in the data folder.
struct LutrisHome {
    QString config;
    QString data;
};

QList<LutrisHome> lutrisHomes(const UserPlaces& places) {
    const QString flatpak = places.home + QStringLiteral("/.var/app/net.lutris.Lutris");
    const QString data = places.dataHome + QStringLiteral("/lutris");
    const QString flatpakData = flatpak + QStringLiteral("/data/lutris");
    return {{places.configHome + QStringLiteral("/lutris"), data},
            {data, data},
            {flatpak + QStringLiteral("/config/lutris"), flatpakData},
            {flatpakData, flatpakData}};
}

// The merged options of one game, as Lutris layers them: the game's file over the runner's
// file over system.yml, key by key; "system: env" merged name by name.
struct LutrisOptions {
    YamlNode game, runner, system;
    QString gameFile, runnerFile, systemFile, home;

    // The value of `section: key` at the most specific level that has it, and where it was.
    std::optional<std::pair<QByteArray, QString>> value(const char* section,
                                                        const char* key) const {
        const std::pair<const YamlNode*, const QString*> levels[] = {
            {&game, &gameFile}, {&runner, &runnerFile}, {&system, &systemFile}};
        for (const auto& [level, file] : levels) {
            if (level == &system && QByteArrayView(section) != "system")
                continue;
            if (const auto text = level->at({section, key}).scalar())
                return std::pair{*text,
                                 sourceIn(*file,
                                          QString::fromLatin1(section) + QStringLiteral(": ") +
                                              QString::fromLatin1(key),
                                          home)};
        }
        return std::nullopt;
    }
    // A switch, with Lutris's default where no level sets it.
    std::pair<bool, QString> flag(const char* section, const char* key, bool fallback) const {
        if (const auto found = value(section, key))
            return {isYamlTrue(found->first), found->second};
        return {fallback, QStringLiteral("Lutris's default for %1: %2")
                              .arg(QString::fromLatin1(section), QString::fromLatin1(key))};
    }
};

// True where the kernel has the futex call that fsync needs (Linux 5.16 and later), as Lutris
// checks before it turns fsync on by default.
bool fsyncSupported() {
#ifdef SYS_futex_waitv
    return ::syscall(SYS_futex_waitv, nullptr, 0, 0, nullptr, 0) == 0 || errno != ENOSYS;
#else
    return ::syscall(449, nullptr, 0, 0, nullptr, 0) == 0 || errno != ENOSYS;
#endif
}

// Lutris's Proton builds: a name with "Proton" that is not one of Lutris's own.
bool isProtonName(const QString& version) {
    return version.contains(QStringLiteral("Proton")) &&
           !version.contains(QStringLiteral("lutris"));
}

// The umu-run Lutris starts a Proton with: on PATH, else where Lutris and the system keep it.
QString umuProgram(const QString& data) {
    if (const QString onPath = programOnPath(QStringLiteral("umu-run")); !onPath.isEmpty())
        return onPath;
    for (const QString& folder : {QStringLiteral("/app/share"), QStringLiteral("/usr/local/share"),
                                  QStringLiteral("/usr/share"), QStringLiteral("/opt"),
                                  data + QStringLiteral("/runtime")}) {
        for (const char* name : {"/umu/umu_run.py", "/umu/umu-run"}) {
            if (isExecutableFile(folder + QString::fromLatin1(name)))
                return folder + QString::fromLatin1(name);
        }
    }
    return {};
}

// A Proton build of that name in a Steam library or among Steam's compatibility tools.
QString protonFolderNamed(const QString& name, const UserPlaces& places) {
    const SteamPlaces steam = steamPlaces(places);
    QStringList folders;
    for (const QString& library : steam.libraries)
        folders << library + QStringLiteral("/steamapps/common/") + name
                << library + QStringLiteral("/steamapps/") + name;
    if (!steam.client.isEmpty())
        folders << steam.client + QStringLiteral("/compatibilitytools.d/") + name;
    for (const QString& folder : folders) {
        if (isExecutableFile(folder + QStringLiteral("/proton")))
            return folder;
    }
    return {};
}

// The builds Lutris lists as installed, in its order: the system's, then its own runners,
// newest first.
QStringList installedWineVersions(const QString& data) {
    QStringList versions;
    const std::pair<const char*, const char*> system[] = {
        {"winehq-devel", "/opt/wine-devel/bin/wine"},
        {"winehq-staging", "/opt/wine-staging/bin/wine"},
        {"wine-development", "/usr/lib/wine-development/wine"}};
    for (const auto& [name, path] : system) {
        if (isExecutableFile(QString::fromLatin1(path)))
            versions.append(QString::fromLatin1(name));
    }
    if (!programOnPath(QStringLiteral("wine")).isEmpty())
        versions.append(QStringLiteral("system"));
    for (const QString& folder : entriesOf(QStringLiteral("/usr/lib"))) {
        if (folder.startsWith(QStringLiteral("wine-")) &&
            isExecutableFile(QStringLiteral("/usr/lib/") + folder + QStringLiteral("/bin/wine")))
            versions.append(QStringLiteral("System ") + folder);
    }
    QStringList own;
    for (const QString& folder : entriesOf(data + QStringLiteral("/runners/wine"))) {
        if (isExecutableFile(data + QStringLiteral("/runners/wine/") + folder +
                             QStringLiteral("/bin/wine")))
            own.append(folder);
    }
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(own.begin(), own.end(),
              [&](const QString& a, const QString& b) { return numeric.compare(a, b) > 0; });
    return versions + own;
}

// The wine program of a version name, as Lutris finds it; empty when it is not there.
QString wineOfVersion(const QString& version, const QString& data) {
    if (version == u"system")
        return programOnPath(QStringLiteral("wine"));
    QString path;
    if (version == u"winehq-devel")
        path = QStringLiteral("/opt/wine-devel/bin/wine");
    else if (version == u"winehq-staging")
        path = QStringLiteral("/opt/wine-staging/bin/wine");
    else if (version == u"wine-development")
        path = QStringLiteral("/usr/lib/wine-development/wine");
    else if (version.startsWith(QStringLiteral("System wine-")))
        path = QStringLiteral("/usr/lib/") + version.mid(7) + QStringLiteral("/bin/wine");
    else if (!version.contains(u'/') && version != u"." && version != u"..")
        path = data + QStringLiteral("/runners/wine/") + version + QStringLiteral("/bin/wine");
    return !path.isEmpty() && isExecutableFile(path) ? path : QString();
}

// The DLLs each of Lutris's DLL managers overrides, the option that turns it on and its default,
// and the folder of its runtime.
struct DllManager {
    const char* option;
    bool byDefault;
    const char* component;
    QStringList dlls;
};

QList<DllManager> dllManagers() {
    QStringList extras;
    for (int n = 33; n <= 43; ++n)
        extras << QStringLiteral("d3dx10_%1").arg(n);
    extras << QStringLiteral("d3dx10") << QStringLiteral("d3dx11_42")
           << QStringLiteral("d3dx11_43");
    for (int n = 24; n <= 43; ++n)
        extras << QStringLiteral("d3dx9_%1").arg(n);
    for (int n = 33; n <= 43; ++n)
        extras << QStringLiteral("d3dcompiler_%1").arg(n);
    extras << QStringLiteral("d3dcompiler_46") << QStringLiteral("d3dcompiler_47");
    return {
        {"dxvk",
         true,
         "dxvk",
         {QStringLiteral("dxgi"), QStringLiteral("d3d11"), QStringLiteral("d3d10core"),
          QStringLiteral("d3d9"), QStringLiteral("d3d8")}},
        {"vkd3d", true, "vkd3d", {QStringLiteral("d3d12"), QStringLiteral("d3d12core")}},
        {"dxvk_nvapi",
         true,
         "dxvk-nvapi",
         {QStringLiteral("nvapi"), QStringLiteral("nvapi64"), QStringLiteral("nvml"),
          QStringLiteral("nvofapi64"), QStringLiteral("nvoptix"), QStringLiteral("nvencodeapi"),
          QStringLiteral("nvencodeapi64"), QStringLiteral("nvcuvid"), QStringLiteral("nvcuda")}},
        {"d3d_extras", true, "d3d_extras", extras},
        {"dgvoodoo2",
         false,
         "dgvoodoo2",
         {QStringLiteral("d3dimm"), QStringLiteral("ddraw"), QStringLiteral("glide"),
          QStringLiteral("glide2x"), QStringLiteral("glide3x")}},
    };
}

// An override value as Lutris writes it ("native,builtin" is "n,b"), or nothing when Lutris
// drops it.
std::optional<QString> overrideMode(QString value) {
    value.remove(u' ');
    value.replace(QStringLiteral("builtin"), QStringLiteral("b"));
    value.replace(QStringLiteral("native"), QStringLiteral("n"));
    value.replace(QStringLiteral("disabled"), QString());
    for (const char* mode : {"n,b", "b,n", "b", "n", "d", ""}) {
        if (value == QLatin1String(mode))
            return value;
    }
    return std::nullopt;
}

// WINEDLLOVERRIDES as Lutris builds it: the DLLs of the DLL managers it enables where their
// files are installed, then the user's overrides, winemenubuilder always off; grouped by mode.
QString dllOverrides(const LutrisOptions& options, const QString& runtime, QStringList& notes) {
    QList<std::pair<QString, QString>> overrides{{QStringLiteral("winemenubuilder"), QString()}};
    const auto put = [&](const QString& dll, const QString& mode) {
        for (auto& each : overrides) {
            if (each.first == dll) {
                each.second = mode;
                return;
            }
        }
        overrides.append({dll, mode});
    };
    for (const DllManager& manager : dllManagers()) {
        if (!options.flag("wine", manager.option, manager.byDefault).first)
            continue;
        const QString folder = runtime + u'/' + QString::fromLatin1(manager.component);
        QString version = QString::fromUtf8(
            options.value("wine", (std::string(manager.option) + "_version").c_str())
                .value_or(std::pair<QByteArray, QString>())
                .first);
        if (version.isEmpty()) {
            // Without a version named, the newest one Lutris has downloaded.
            QStringList versions = entriesOf(folder);
            QCollator numeric;
            numeric.setNumericMode(true);
            std::sort(versions.begin(), versions.end(), [&](const QString& a, const QString& b) {
                return numeric.compare(a, b) > 0;
            });
            version = versions.value(0);
        }
        for (const QString& dll : manager.dlls) {
            for (const char* arch : {"/x64/", "/x32/", "/x86/"}) {
                if (!version.isEmpty() &&
                    entryExists(fileNameOfText(folder + u'/' + version + QString::fromLatin1(arch) +
                                               dll + QStringLiteral(".dll")))) {
                    put(dll, QStringLiteral("n"));
                    break;
                }
            }
        }
    }
    // The game's own overrides stand in for the runner's, whole.
    const YamlNode& user = !options.game.at({"wine", "overrides"}).entries().isEmpty()
                               ? options.game.at({"wine", "overrides"})
                               : options.runner.at({"wine", "overrides"});
    for (const auto& [dll, value] : user.entries()) {
        if (const auto mode =
                overrideMode(QString::fromUtf8(value.scalar().value_or(QByteArray()))))
            put(QString::fromUtf8(dll), *mode);
        else
            notes.append(QStringLiteral("The DLL override %1 is not one Lutris knows, and is left "
                                        "out as Lutris leaves it out.")
                             .arg(QString::fromUtf8(dll)));
    }
    put(QStringLiteral("winemenubuilder"), QString());
    QStringList groups;
    for (const char* mode : {"n,b", "b,n", "b", "n", "d", ""}) {
        QStringList names;
        for (const auto& [dll, value] : overrides) {
            if (value == QLatin1String(mode))
                names.append(dll);
        }
        std::sort(names.begin(), names.end());
        if (!names.isEmpty())
            groups.append(names.join(u',') + u'=' + QLatin1String(mode));
    }
    return groups.join(u';');
}

// The architecture Lutris gives a prefix: the game's, else the one its registry says, else 64-bit.
QString wineArch(const LutrisOptions& options, const QString& prefix, QString& source) {
    if (const auto arch = options.value("game", "arch");
        arch && (arch->first == "win32" || arch->first == "win64")) {
        source = arch->second;
        return QString::fromLatin1(arch->first);
    }
    source = QStringLiteral("the architecture the prefix's system.reg gives");
    if (const auto registry = readManagerFile(prefix + QStringLiteral("/system.reg"))) {
        for (const QByteArray& line : registry->split('\n').mid(0, 5)) {
            if (line.contains("win64"))
                return QStringLiteral("win64");
            if (line.contains("win32"))
                return QStringLiteral("win32");
        }
    }
    source = QStringLiteral("Lutris's default architecture");
    return QStringLiteral("win64");
}

} // namespace

// Lutris keeps one configuration a game, "games/<game>.yml", naming its prefix ("game:
// prefix:"); the Wine it runs with is read for the prefix in use only.
QList<KnownPrefix> readLutrisPrefixes(const UserPlaces& places) {
    QList<KnownPrefix> found;
    for (const LutrisHome& home : lutrisHomes(places)) {
        const QString folder = home.config + QStringLiteral("/games");
        for (const QString& name : entriesOf(folder, QStringLiteral(".yml"))) {
            const auto content = readManagerFile(folder + u'/' + name);
            const QString prefix = absolutePathOf(
                textOfFileName(
                    content
                        ? parseYaml(*content).at({"game", "prefix"}).scalar().value_or(QByteArray())
                        : QByteArray()),
                places.home);
            if (!prefix.isEmpty())
                found.append({QStringLiteral("Lutris"), prefix, folder + u'/' + name, {}});
        }
    }
    return found;
}

LaunchDescription describeLutrisLaunch(const KnownPrefix& prefix, const UserPlaces& places,
                                       const Environment& environment) {
    LaunchDescription launch;
    const QString config = QFileInfo(prefix.file).absolutePath().section(u'/', 0, -2);
    QString data = config;
    for (const LutrisHome& home : lutrisHomes(places)) {
        if (home.config == config)
            data = home.data;
    }
    LutrisOptions options;
    options.home = places.home;
    options.gameFile = prefix.file;
    options.runnerFile = config + QStringLiteral("/runners/wine.yml");
    options.systemFile = config + QStringLiteral("/system.yml");
    options.game = parseYaml(readManagerFile(options.gameFile).value_or(QByteArray()));
    options.runner = parseYaml(readManagerFile(options.runnerFile).value_or(QByteArray()));
    options.system = parseYaml(readManagerFile(options.systemFile).value_or(QByteArray()));

    // The Wine: the game's version, else the runner's, else the one Lutris would choose.
    QString version, versionSource;
    for (const auto& [level, file] : {std::pair{&options.game, &options.gameFile},
                                      std::pair{&options.runner, &options.runnerFile}}) {
        if (const auto text = level->at({"wine", "version"}).scalar(); text && !text->isEmpty()) {
            version = QString::fromUtf8(*text);
            versionSource = sourceIn(*file, QStringLiteral("wine: version"), places.home);
            break;
        }
    }
    const QString umu = umuProgram(data);
    if (version.isEmpty()) {
        QStringList installed = installedWineVersions(data);
        if (!umu.isEmpty()) {
            // Then the Proton builds, which Lutris offers only where umu-run is.
            for (const QString& library : steamPlaces(places).libraries) {
                for (const QString& name :
                     entriesOf(library + QStringLiteral("/steamapps/common"))) {
                    if (isProtonName(name) &&
                        isExecutableFile(library + QStringLiteral("/steamapps/common/") + name +
                                         QStringLiteral("/proton")))
                        installed.append(name);
                }
            }
        }
        version = installed.value(0);
        versionSource = QStringLiteral("the first Wine Lutris lists as installed, as no file names "
                                       "one");
        launch.notes.append(
            QStringLiteral("No Lutris file names a Wine version: the first one "
                           "Lutris lists as installed is used (the default Lutris's "
                           "server may name is not read)."));
    }
    launch.programSource = versionSource;
    if (version == u"custom") {
        const auto custom = options.value("wine", "custom_wine_path");
        const QString path =
            custom ? absolutePathOf(QString::fromUtf8(custom->first), places.home) : QString();
        launch.program = isExecutableFile(path) ? path : QString();
        if (launch.program.isEmpty())
            launch.missing =
                QStringLiteral("its custom Wine %1 is missing").arg(shownPath(path, places.home));
    } else if (isProtonName(version)) {
        // Lutris starts a Proton through umu-run, with the Proton's folder and its verb.
        const QString proton = version == QStringLiteral("GE-Proton (Latest)")
                                   ? QStringLiteral("GE-Proton")
                                   : protonFolderNamed(version, places);
        if (proton.isEmpty())
            launch.missing = QStringLiteral("its Proton %1 is missing").arg(version);
        else if (umu.isEmpty())
            launch.missing =
                QStringLiteral("umu-run, which Lutris starts %1 with, is not installed")
                    .arg(version);
        launch.program = launch.missing.isEmpty() ? umu : QString();
        launch.gameAsLocalPath = true;
        launch.set(QStringLiteral("PROTONPATH"), proton, versionSource);
        const auto umuId = valueIn(environment, "UMU_ID");
        launch.set(QStringLiteral("GAMEID"),
                   umuId ? QString::fromUtf8(*umuId) : QStringLiteral("umu-default"),
                   umuId ? QStringLiteral("UMU_ID") : QStringLiteral("Lutris's default"));
        launch.set(QStringLiteral("STORE"), QStringLiteral("none"), QStringLiteral("Lutris"));
        launch.set(QStringLiteral("PROTON_VERB"), QStringLiteral("waitforexitandrun"),
                   QStringLiteral("Lutris"));
    } else {
        launch.program = wineOfVersion(version, data);
        if (launch.program.isEmpty())
            launch.missing = version.isEmpty()
                                 ? QStringLiteral("Lutris lists no Wine as installed")
                                 : QStringLiteral("its Wine %1 is missing").arg(version);
    }

    // The user's variables first, merged name by name; Lutris's own go over them.
    for (const YamlNode* level : {&options.system, &options.runner, &options.game}) {
        const QString& file = level == &options.system   ? options.systemFile
                              : level == &options.runner ? options.runnerFile
                                                         : options.gameFile;
        for (const auto& [name, value] : level->at({"system", "env"}).entries()) {
            launch.set(QString::fromUtf8(name),
                       textOfFileName(value.scalar().value_or(QByteArray())),
                       sourceIn(file, QStringLiteral("system: env: ") + QString::fromUtf8(name),
                                places.home));
        }
    }
    const auto debug = options.value("wine", "show_debug");
    const QByteArray debugValue = debug ? debug->first : QByteArray("-all");
    if (debugValue != "inherit")
        launch.set(QStringLiteral("WINEDEBUG"), QString::fromUtf8(debugValue),
                   debug ? debug->second : QStringLiteral("Lutris's default for wine: show_debug"));
    QString archSource;
    const QString arch = wineArch(options, prefix.folder, archSource);
    launch.set(QStringLiteral("WINEARCH"), arch, archSource);
    launch.set(QStringLiteral("WINEPREFIX"), prefix.folder,
               sourceIn(prefix.file, QStringLiteral("game: prefix"), places.home));
    const auto sync = [&](const char* option, const char* name, bool byDefault) {
        // A "1" the user set stays, as Lutris keeps it.
        const LaunchVariable* user = launch.variable(QString::fromLatin1(name));
        if (user && user->value == u"1")
            return;
        const auto [on, source] = options.flag("wine", option, byDefault);
        launch.set(QString::fromLatin1(name), on ? QStringLiteral("1") : QStringLiteral("0"),
                   source);
    };
    sync("esync", "WINEESYNC", true);
    sync("fsync", "WINEFSYNC", fsyncSupported());
    launch.set(QStringLiteral("WINEDLLOVERRIDES"),
               dllOverrides(options, data + QStringLiteral("/runtime"), launch.notes),
               QStringLiteral("Lutris's DLL managers and wine: overrides"));
    if (const auto [dxvk, source] = options.flag("wine", "dxvk", true); dxvk)
        launch.set(QStringLiteral("WINE_LARGE_ADDRESS_AWARE"), QStringLiteral("1"), source);

    // Wrappers, outermost first: gamemoderun, then the user's prefix command.
    const QString gamemode = programOnPath(QStringLiteral("gamemoderun"));
    if (const auto [on, source] = options.flag("system", "gamemode", !gamemode.isEmpty());
        on && !gamemode.isEmpty())
        launch.wrappers.append({{gamemode}, source});
    if (const auto command = options.value("system", "prefix_command"); command) {
        const QString expanded = expandVariables(
            textOfFileName(command->first),
            [&](const QString& name) -> std::optional<QString> {
                const auto value = valueIn(environment, name.toUtf8());
                return value ? std::optional(textOfFileName(*value)) : std::nullopt;
            },
            UnknownVariable::Kept);
        if (const auto words = splitShellWords(expanded); words && !words->isEmpty())
            launch.wrappers.append({*words, command->second});
        else if (!words)
            launch.notes.append(QStringLiteral("system: prefix_command has a quote that is never "
                                               "closed, and is left out."));
    }
    launch.notes.append(QStringLiteral(
        "Left out, as it changes the prefix: Lutris's DLL installs, registry keys (DPI, audio, "
        "mouse), the profile folder links and its desktop-integration folders."));
    return launch;
}

} // namespace gvt::platform
