// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/ManagerPlaces.h"
#include "platform/wine/PrefixReaders.h"
#include "platform/wine/VdfParser.h"
#include "platform/wine/YamlParser.h"

namespace gvt::platform {

namespace {

// Bottles' data folders, native and as a Flatpak: "bottles/" (or the folder the user chose in
// data.yml) holds the bottles, "runners/" the Wine builds.
QStringList bottlesDataFolders(const UserPlaces& places) {
    return {places.dataHome + QStringLiteral("/bottles"),
            places.home + QStringLiteral("/.var/app/com.usebottles.bottles/data/bottles")};
}

// Where a data folder keeps its bottles: the user's choice in data.yml where it exists.
QString bottlesFolderOf(const QString& data, const QString& home) {
    const auto content = readManagerFile(data + QStringLiteral("/data.yml"));
    const QString custom = absolutePathOf(
        textOfFileName(
            content ? parseYaml(*content)["custom_bottles_path"].scalar().value_or(QByteArray())
                    : QByteArray()),
        home);
    return !custom.isEmpty() && isFolder(custom) ? custom : data + QStringLiteral("/bottles");
}

// The data folder a bottle belongs to: the one whose bottles folder holds it, else the native one.
QString dataFolderOf(const QString& bottleFile, const UserPlaces& places) {
    for (const QString& data : bottlesDataFolders(places)) {
        if (bottleFile.startsWith(data + u'/'))
            return data;
    }
    return bottlesDataFolders(places).first();
}

QString text(const YamlNode& node) {
    return textOfFileName(node.scalar().value_or(QByteArray()));
}

} // namespace

// Bottles keeps each bottle, a prefix, in a folder of its own with a bottle.yml, in its
// bottles folder; a bottle kept elsewhere has a placeholder.yml there naming its folder.
QList<KnownPrefix> readBottlesPrefixes(const UserPlaces& places) {
    QList<KnownPrefix> found;
    for (const QString& data : bottlesDataFolders(places)) {
        const QString bottles = bottlesFolderOf(data, places.home);
        for (const QString& name : entriesOf(bottles)) {
            QString folder = bottles + u'/' + name;
            if (const auto placeholder =
                    readManagerFile(folder + QStringLiteral("/placeholder.yml")))
                folder = absolutePathOf(text(parseYaml(*placeholder)["Path"]), places.home);
            if (folder.isEmpty())
                continue;
            const auto content = readManagerFile(folder + QStringLiteral("/bottle.yml"));
            const YamlNode bottle = parseYaml(content.value_or(QByteArray()));
            if (!content || !bottle.isMap() ||
                (!bottle["Runner"].scalar() && !bottle["Name"].scalar()))
                continue;
            // A bottle of its own folder ("Custom_Path") is where its Path says.
            if (isYamlTrue(bottle["Custom_Path"].scalar().value_or(QByteArray())))
                if (const QString path = absolutePathOf(text(bottle["Path"]), places.home);
                    !path.isEmpty())
                    folder = path;
            found.append(
                {QStringLiteral("Bottles"), folder, folder + QStringLiteral("/bottle.yml"), {}});
        }
    }
    return found;
}

LaunchDescription describeBottlesLaunch(const KnownPrefix& prefix, const UserPlaces& places,
                                        const Environment& environment) {
    LaunchDescription launch;
    const YamlNode bottle = parseYaml(readManagerFile(prefix.file).value_or(QByteArray()));
    const QString data = dataFolderOf(prefix.file, places);
    const auto source = [&](const QString& key) { return sourceIn(prefix.file, key, places.home); };
    const YamlNode& parameters = bottle["Parameters"];
    const auto parameter = [&](const char* name) {
        return isYamlTrue(parameters[name].scalar().value_or(QByteArray()));
    };
    const auto parameterSource = [&](const char* name) {
        return source(QStringLiteral("Parameters: ") + QString::fromLatin1(name));
    };

    // The runner: a "sys-" one is the system's wine; a Proton runner runs its own Wine.
    const QString runner = text(bottle["Runner"]);
    const QString arch =
        text(bottle["Arch"]).isEmpty() ? QStringLiteral("win64") : text(bottle["Arch"]);
    QString wine;
    QString root = data + QStringLiteral("/runners/") + runner;
    const bool system = runner.startsWith(QStringLiteral("sys-"));
    if (system) {
        wine = programOnPath(QStringLiteral("wine"));
    } else if (!runner.isEmpty() && !runner.contains(u'/') && runner != u"." && runner != u"..") {
        const VdfNode manifest = parseVdfText(
            readManagerFile(root + QStringLiteral("/toolmanifest.vdf")).value_or(QByteArray()));
        const QByteArray layer = manifest.at({"manifest", "compatmanager_layer_name"}).value() +
                                 manifest.at({"manifest", "commandline"}).value();
        if (layer.contains("proton"))
            root = isFolder(root + QStringLiteral("/dist")) ? root + QStringLiteral("/dist")
                                                            : root + QStringLiteral("/files");
        wine = root + QStringLiteral("/bin/wine");
    }
    if (!system && arch == u"win64" && isExecutableFile(wine + QStringLiteral("64")))
        wine += QStringLiteral("64");
    launch.program = isExecutableFile(wine) ? wine : QString();
    launch.programSource = source(QStringLiteral("Runner"));
    if (launch.program.isEmpty())
        launch.missing = runner.isEmpty() ? QStringLiteral("the bottle names no runner")
                                          : QStringLiteral("its runner %1 is missing").arg(runner);

    // A bottle that limits what it inherits keeps only the names it lists.
    if (isYamlTrue(bottle["Limit_System_Environment"].scalar().value_or(QByteArray()))) {
        QStringList kept;
        for (const YamlNode& item : bottle["Inherited_Environment_Variables"].items())
            kept.append(text(item));
        for (const QByteArray& entry : environment) {
            const QString name = textOfFileName(entry.left(entry.indexOf('=')));
            if (!kept.contains(name))
                launch.removed.append(
                    {name, {}, source(QStringLiteral("Limit_System_Environment"))});
        }
    }
    // Bottles' own values give way to one the environment has already; the bottle's variables
    // do not.
    Environment seen = environmentFor(launch, environment);
    const auto keep = [&](const QString& name, const QString& value, const QString& from) {
        if (!valueIn(seen, name.toUtf8()) && !launch.variable(name))
            launch.set(name, value, from);
    };
    keep(QStringLiteral("BOTTLE"), text(bottle["Path"]), source(QStringLiteral("Path")));
    for (const auto& [name, value] : bottle["Environment_Variables"].entries())
        launch.set(textOfFileName(name), text(value),
                   source(QStringLiteral("Environment_Variables: ") + textOfFileName(name)));
    seen = environmentFor(launch, environment);
    if (const QString language = text(bottle["Language"]);
        !language.isEmpty() && language != u"sys")
        keep(QStringLiteral("LC_ALL"),
             language.contains(u'.') ? language : language + QStringLiteral(".UTF-8"),
             source(QStringLiteral("Language")));
    QStringList dlls;
    for (const auto& [name, value] : bottle["DLL_Overrides"].entries())
        dlls.append(textOfFileName(name) + u'=' + text(value));
    dlls.append(QStringLiteral("winemenubuilder=''"));
    if (!system) {
        // The runner's own libraries, those of a 64-bit prefix or of a 32-bit one.
        const QStringList folders =
            arch == u"win64"
                ? QStringList{QStringLiteral("lib"),
                              QStringLiteral("lib64"),
                              QStringLiteral("lib/wine/x86_64-unix"),
                              QStringLiteral("lib32/wine/x86_64-unix"),
                              QStringLiteral("lib64/wine/x86_64-unix"),
                              QStringLiteral("lib/wine/i386-unix"),
                              QStringLiteral("lib32/wine/i386-unix"),
                              QStringLiteral("lib64/wine/i386-unix")}
                : QStringList{QStringLiteral("lib"), QStringLiteral("lib/wine/i386-unix"),
                              QStringLiteral("lib32/wine/i386-unix"),
                              QStringLiteral("lib64/wine/i386-unix")};
        QStringList libraries;
        for (const QString& folder : folders) {
            if (isFolder(root + u'/' + folder))
                libraries.append(root + u'/' + folder);
        }
        if (!libraries.isEmpty()) {
            const auto before = valueIn(seen, "LD_LIBRARY_PATH");
            launch.set(QStringLiteral("LD_LIBRARY_PATH"),
                       (before && !before->isEmpty() ? textOfFileName(*before) + u':' : QString()) +
                           libraries.join(u':'),
                       source(QStringLiteral("Runner")) + QStringLiteral(" (its libraries)"));
        }
        QStringList gstreamer;
        for (const char* folder :
             {"lib64/gstreamer-1.0", "lib/gstreamer-1.0", "lib32/gstreamer-1.0"}) {
            if ((arch == u"win64" || QByteArrayView(folder) != "lib64/gstreamer-1.0") &&
                isFolder(root + u'/' + QString::fromLatin1(folder)))
                gstreamer.append(root + u'/' + QString::fromLatin1(folder));
        }
        if (!gstreamer.isEmpty() && !valueIn(seen, "BOTTLES_USE_SYSTEM_GSTREAMER"))
            launch.set(QStringLiteral("GST_PLUGIN_SYSTEM_PATH"), gstreamer.join(u':'),
                       source(QStringLiteral("Runner")) + QStringLiteral(" (its GStreamer)"));
    }
    const QString bottleFolder = prefix.folder;
    if (parameter("dxvk")) {
        const QString from = parameterSource("dxvk");
        keep(QStringLiteral("WINE_LARGE_ADDRESS_AWARE"), QStringLiteral("1"), from);
        keep(QStringLiteral("DXVK_SHADER_CACHE_PATH"),
             bottleFolder + QStringLiteral("/cache/dxvk_shader"), from);
        keep(QStringLiteral("STAGING_SHARED_MEMORY"), QStringLiteral("1"), from);
        keep(QStringLiteral("__GL_SHADER_DISK_CACHE"), QStringLiteral("1"), from);
        keep(QStringLiteral("__GL_SHADER_DISK_CACHE_PATH"),
             bottleFolder + QStringLiteral("/cache/gl_shader"), from);
        keep(QStringLiteral("MESA_SHADER_CACHE_DIR"),
             bottleFolder + QStringLiteral("/cache/mesa_shader"), from);
    }
    if (parameter("vkd3d"))
        keep(QStringLiteral("VKD3D_SHADER_CACHE_PATH"),
             bottleFolder + QStringLiteral("/cache/vkd3d_shader"), parameterSource("vkd3d"));
    if (parameter("latencyflex"))
        keep(QStringLiteral("LFX"), QStringLiteral("1"), parameterSource("latencyflex"));
    else
        keep(QStringLiteral("DISABLE_LFX"), QStringLiteral("1"), parameterSource("latencyflex"));
    const bool gamescope =
        parameter("gamescope") && !programOnPath(QStringLiteral("gamescope")).isEmpty();
    const QString mangohud = programOnPath(QStringLiteral("mangohud"));
    if (parameter("mangohud") && !gamescope) {
        keep(QStringLiteral("MANGOHUD"), QStringLiteral("1"), parameterSource("mangohud"));
        keep(QStringLiteral("MANGOHUD_DLSYM"), QStringLiteral("1"), parameterSource("mangohud"));
        if (!isYamlTrue(parameters["mangohud_display_on_game_start"].scalar().value_or("true")))
            keep(QStringLiteral("MANGOHUD_CONFIG"), QStringLiteral("no_display"),
                 parameterSource("mangohud_display_on_game_start"));
    }
    if (parameter("vkbasalt")) {
        if (readManagerFile(bottleFolder + QStringLiteral("/vkBasalt.conf")))
            keep(QStringLiteral("VKBASALT_CONFIG_FILE"),
                 bottleFolder + QStringLiteral("/vkBasalt.conf"), parameterSource("vkbasalt"));
        keep(QStringLiteral("ENABLE_VKBASALT"), QStringLiteral("1"), parameterSource("vkbasalt"));
    }
    if (parameter("obsvkc")) {
        keep(QStringLiteral("OBS_VKCAPTURE"), QStringLiteral("1"), parameterSource("obsvkc"));
        if (!valueIn(seen, "WAYLAND_DISPLAY"))
            keep(QStringLiteral("OBS_USE_EGL"), QStringLiteral("1"), parameterSource("obsvkc"));
    }
    if (parameter("dxvk_nvapi")) {
        keep(QStringLiteral("DXVK_NVAPIHACK"), QStringLiteral("0"), parameterSource("dxvk_nvapi"));
        keep(QStringLiteral("DXVK_ENABLE_NVAPI"), QStringLiteral("1"),
             parameterSource("dxvk_nvapi"));
    }
    const QString sync = text(parameters["sync"]);
    if (sync == u"esync")
        keep(QStringLiteral("WINEESYNC"), QStringLiteral("1"), parameterSource("sync"));
    else if (sync == u"fsync")
        keep(QStringLiteral("WINEFSYNC"), QStringLiteral("1"), parameterSource("sync"));
    else if (sync == u"ntsync")
        // ntsync where the kernel has it, else fsync, as Bottles falls back.
        keep(entryExists("/dev/ntsync") ? QStringLiteral("WINENTSYNC")
                                        : QStringLiteral("WINEFSYNC"),
             QStringLiteral("1"), parameterSource("sync"));
    keep(QStringLiteral("WINEDEBUG"),
         parameter("fixme_logs") ? QStringLiteral("+fixme-all") : QStringLiteral("fixme-all"),
         parameterSource("fixme_logs"));
    if (parameter("pulseaudio_latency"))
        keep(QStringLiteral("PULSE_LATENCY_MSEC"), QStringLiteral("60"),
             parameterSource("pulseaudio_latency"));
    const auto overrides = valueIn(seen, "WINEDLLOVERRIDES");
    launch.set(
        QStringLiteral("WINEDLLOVERRIDES"),
        (overrides && !overrides->isEmpty() ? textOfFileName(*overrides) + u';' : QString()) +
            dlls.join(u';'),
        source(QStringLiteral("DLL_Overrides")));
    launch.set(QStringLiteral("WINEPREFIX"), bottleFolder, source(QStringLiteral("Path")));
    keep(QStringLiteral("WINEARCH"), arch, source(QStringLiteral("Arch")));

    // Wrappers, outermost first, as Bottles puts them around its command.
    if (parameter("use_steam_runtime")) {
        const SteamPlaces steam = steamPlaces(places);
        for (const char* entry : {"/steamapps/common/SteamLinuxRuntime_sniper/_v2-entry-point",
                                  "/steamapps/common/SteamLinuxRuntime_soldier/_v2-entry-point",
                                  "/ubuntu12_32/steam-runtime/run.sh"}) {
            if (!steam.client.isEmpty() &&
                isExecutableFile(steam.client + QString::fromLatin1(entry))) {
                launch.wrappers.append({{steam.client + QString::fromLatin1(entry)},
                                        parameterSource("use_steam_runtime")});
                break;
            }
        }
    }
    if (const QString obs = programOnPath(QStringLiteral("obs-vkcapture"));
        parameter("obsvkc") && !obs.isEmpty())
        launch.wrappers.append({{obs}, parameterSource("obsvkc")});
    if (gamescope) {
        QStringList words{programOnPath(QStringLiteral("gamescope"))};
        if (const auto words2 = text(parameters["gamescope_custom_options"]); !words2.isEmpty())
            words += words2.split(u' ', Qt::SkipEmptyParts);
        if (isYamlTrue(parameters["gamescope_fullscreen"].scalar().value_or("true")))
            words << QStringLiteral("-f");
        if (parameter("gamescope_borderless"))
            words << QStringLiteral("-b");
        if (parameter("gamescope_scaling"))
            words << QStringLiteral("-S") << QStringLiteral("integer");
        if (parameter("fsr"))
            words << QStringLiteral("-F") << QStringLiteral("fsr")
                  << QStringLiteral("--fsr-sharpness")
                  << (text(parameters["fsr_sharpening_strength"]).isEmpty()
                          ? QStringLiteral("8")
                          : text(parameters["fsr_sharpening_strength"]));
        for (const auto& [key, flag] :
             {std::pair{"gamescope_fps", "-r"}, std::pair{"gamescope_fps_no_focus", "-o"},
              std::pair{"gamescope_game_width", "-w"}, std::pair{"gamescope_game_height", "-h"},
              std::pair{"gamescope_window_width", "-W"},
              std::pair{"gamescope_window_height", "-H"}}) {
            if (text(parameters[key]).toInt() > 0)
                words << QString::fromLatin1(flag) << text(parameters[key]);
        }
        words << QStringLiteral("--");
        launch.wrappers.append({words, parameterSource("gamescope")});
        launch.notes.append(QStringLiteral("Bottles runs gamescope over a script of its own; the "
                                           "command is handed to gamescope directly instead."));
    }
    if (parameter("mangohud") && !gamescope && !mangohud.isEmpty())
        launch.wrappers.append({{mangohud}, parameterSource("mangohud")});
    if (const QString gamemode = programOnPath(QStringLiteral("gamemoderun"));
        parameter("gamemode") && !gamemode.isEmpty())
        launch.wrappers.append({{gamemode}, parameterSource("gamemode")});
    launch.notes.append(QStringLiteral(
        "Left out, as it changes the bottle: Bottles' component installs, registry keys and the "
        "rewrite of bottle.yml; its runtime's libraries are not added."));
    return launch;
}

} // namespace gvt::platform
