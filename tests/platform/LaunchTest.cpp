// SPDX-License-Identifier: GPL-3.0-or-later
// How each game manager starts a game in its prefix, read from its files as it writes them:
// the program, the words around the game and the variables, or the one thing that is missing.
#include "Fixtures.h"
#include "platform/wine/PrefixReaders.h"

#include <QtEndian>

using namespace gvt;

namespace {

// A home whose programs are stubs: "bin" is first on PATH.
struct ManagerHome : test::SettingsHome {
    ManagerHome() { QDir().mkpath(path(u"bin"_s)); }
    void program(const QString& relative) const {
        addFile(relative, "#!/bin/sh\nexit 0\n");
        ::chmod(QFile::encodeName(path(relative)).constData(), 0755);
    }
    // What a launch comes to, the home shown as "~": its words before the game ("|" between
    // them), the values of `names`, the words after the game, and what is missing.
    QString shown(const platform::LaunchDescription& launch, const char* names) const {
        QStringList parts{launch.wordsBeforeGame().join(u'|')};
        if (launch.gameAsLocalPath)
            parts << u"the game as its path"_s;
        for (const QString& name : QString::fromLatin1(names).split(u' ', Qt::SkipEmptyParts)) {
            const platform::LaunchVariable* variable = launch.variable(name);
            parts << name + u'=' + (variable ? variable->value : u"<unset>"_s);
        }
        for (const platform::LaunchWords& after : launch.afterGame)
            parts << u"after "_s + after.words.join(u'|');
        if (!launch.missing.isEmpty())
            parts << u"missing "_s + launch.missing;
        return parts.join(u" ; "_s).replace(dir.path(), u"~"_s);
    }
    test::EnvironmentScope path_{{{"PATH", QFile::encodeName(path(u"bin"_s)) + ":/usr/bin:/bin"}}};
};

struct Row {
    const char* name;
    std::function<void(ManagerHome&)> files;
    const char* expected;
    const char* moreNames = ""; // shown after the table's own
};

// Each row in a home of its own: the first prefix the manager's reader finds, described.
void checkRows(const QList<Row>& rows, platform::PrefixReader reader, const char* names,
               const std::function<void(ManagerHome&)>& common) {
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::EnvironmentScope clean({{"WINEDEBUG", QByteArray()},
                                      {"WINEDLLOVERRIDES", QByteArray()},
                                      {"GT_CPU", QByteArray()}});
        ManagerHome home;
        common(home);
        row.files(home);
        const platform::UserPlaces places = platform::UserPlaces::ofThisUser();
        const QList<platform::KnownPrefix> prefixes = reader.prefixes(places);
        ASSERT_FALSE(prefixes.isEmpty());
        const platform::LaunchDescription launch = platform::describeLaunch(
            prefixes.first(), places, platform::environmentOfThisProcess());
        EXPECT_EQ(home.shown(launch, (QByteArray(names) + ' ' + row.moreNames).constData()),
                  QString::fromUtf8(row.expected));
    }
}

platform::PrefixReader readerOf(const char* manager) {
    for (const platform::PrefixReader& reader : platform::prefixReaders()) {
        if (QByteArrayView(reader.manager) == manager)
            return reader;
    }
    return {};
}

// Bytes of a literal, NULs included.
template <size_t N> QByteArray raw(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

// A non-Steam game in Steam's binary shortcuts.vdf.
QByteArray shortcut(quint32 appId, const QByteArray& launchOptions) {
    char id[4];
    qToLittleEndian(appId, id);
    return raw("\0shortcuts\0\0"
               "0\0\x02"
               "appid\0") +
           QByteArray(id, 4) +
           raw("\x01"
               "AppName\0Grimvale Tarsis\0\x01"
               "LaunchOptions\0") +
           launchOptions + raw("\0\x08\x08\x08");
}

} // namespace

TEST(Launch, LutrisAsItsWineRunnerStartsAGame) {
    const auto game = [](ManagerHome& home, const QByteArray& more) {
        home.addFile(u".config/lutris/games/gt-1700000000.yml"_s,
                     "game:\n  exe: drive_c/GT/gvtarsis.exe\n  prefix: ~/Games/gt\n" + more);
    };
    const QList<Row> rows = {
        {"a game naming its own Wine",
         [&](ManagerHome& home) {
             game(home, "wine:\n  version: lutris-7.2\n");
             home.addFile(u".config/lutris/runners/wine.yml"_s, "wine:\n  version: lutris-6.0\n");
         },
         "~/.local/share/lutris/runners/wine/lutris-7.2/bin/wine ; WINEESYNC=1 ; WINEDEBUG=-all ; "
         "WINEARCH=win64 ; WINEDLLOVERRIDES=winemenubuilder= ; WINE_LARGE_ADDRESS_AWARE=1 ; "
         "WINEPREFIX=~/Games/gt"},
        {"a game naming none: the runner file's",
         [&](ManagerHome& home) {
             game(home, "system: {}\n");
             home.addFile(u".config/lutris/runners/wine.yml"_s,
                          "wine:\n  version: lutris-6.0\n  dxvk: false\n");
         },
         "~/.local/share/lutris/runners/wine/lutris-6.0/bin/wine ; WINEESYNC=1 ; WINEDEBUG=-all ; "
         "WINEARCH=win64 ; WINEDLLOVERRIDES=winemenubuilder= ; "
         "WINE_LARGE_ADDRESS_AWARE=<unset> ; WINEPREFIX=~/Games/gt"},
        {"no file naming one: the first Wine Lutris lists, the system's",
         [&](ManagerHome& home) {
             game(home, "");
             home.program(u"bin/wine"_s);
         },
         "~/bin/wine ; WINEESYNC=1 ; WINEDEBUG=-all ; WINEARCH=win64 ; "
         "WINEDLLOVERRIDES=winemenubuilder= ; WINE_LARGE_ADDRESS_AWARE=1 ; WINEPREFIX=~/Games/gt"},
        {"esync off; the user's own WINEFSYNC=1 kept; show_debug inherited",
         [&](ManagerHome& home) {
             game(home, "wine:\n  version: lutris-7.2\n  esync: false\n  fsync: false\n  "
                        "show_debug: inherit\nsystem:\n  env:\n    WINEFSYNC: '1'\n");
         },
         "~/.local/share/lutris/runners/wine/lutris-7.2/bin/wine ; WINEESYNC=0 ; "
         "WINEDEBUG=<unset> ; WINEARCH=win64 ; WINEDLLOVERRIDES=winemenubuilder= ; "
         "WINE_LARGE_ADDRESS_AWARE=1 ; WINEPREFIX=~/Games/gt ; WINEFSYNC=1",
         "WINEFSYNC"},
        {"the user's overrides beside those of DXVK's installed DLLs; a 32-bit game",
         [&](ManagerHome& home) {
             game(home, "  arch: win32\nwine:\n  version: lutris-7.2\n  dxvk_version: v2.3\n  "
                        "show_debug: +fps\n  overrides:\n    ddraw: native,builtin\n    "
                        "xinput1_3: builtin\n    odd: sometimes\n");
             for (const char* dll : {"d3d11", "dxgi"})
                 home.addFile(u".local/share/lutris/runtime/dxvk/v2.3/x64/"_s +
                                  QString::fromLatin1(dll) + u".dll"_s,
                              "MZ");
         },
         "~/.local/share/lutris/runners/wine/lutris-7.2/bin/wine ; WINEESYNC=1 ; WINEDEBUG=+fps ; "
         "WINEARCH=win32 ; WINEDLLOVERRIDES=ddraw=n,b;xinput1_3=b;d3d11,dxgi=n;winemenubuilder= ; "
         "WINE_LARGE_ADDRESS_AWARE=1 ; WINEPREFIX=~/Games/gt"},
        {"variables merged name by name; gamemoderun and a prefix command with quotes",
         [&](ManagerHome& home) {
             game(home, "wine:\n  version: lutris-7.2\nsystem:\n  env:\n    C: game\n  "
                        "prefix_command: taskset -c '0,1' \"$GT_CPU x\" $GT_NONE\n");
             home.addFile(u".config/lutris/runners/wine.yml"_s, "system:\n  env:\n    B: runner\n");
             home.addFile(u".config/lutris/system.yml"_s,
                          "system:\n  gamemode: true\n  env:\n    A: system\n    B: system\n");
             home.program(u"bin/gamemoderun"_s);
             qputenv("GT_CPU", "3");
         },
         "~/bin/gamemoderun|taskset|-c|0,1|3 x|$GT_NONE|"
         "~/.local/share/lutris/runners/wine/lutris-7.2/bin/wine ; WINEESYNC=1 ; WINEDEBUG=-all ; "
         "WINEARCH=win64 ; WINEDLLOVERRIDES=winemenubuilder= ; WINE_LARGE_ADDRESS_AWARE=1 ; "
         "WINEPREFIX=~/Games/gt ; A=system ; B=runner ; C=game",
         "A B C"},
        {"a Proton build: through umu-run",
         [&](ManagerHome& home) {
             game(home, "wine:\n  version: GE-Proton9-20\n");
             home.program(u".local/share/Steam/steamapps/common/GE-Proton9-20/proton"_s);
             home.program(u"bin/umu-run"_s);
         },
         "~/bin/umu-run ; the game as its path ; WINEESYNC=1 ; WINEDEBUG=-all ; WINEARCH=win64 ; "
         "WINEDLLOVERRIDES=winemenubuilder= ; WINE_LARGE_ADDRESS_AWARE=1 ; WINEPREFIX=~/Games/gt ; "
         "PROTONPATH=~/.local/share/Steam/steamapps/common/GE-Proton9-20 ; "
         "PROTON_VERB=waitforexitandrun",
         "PROTONPATH PROTON_VERB"},
        {"a Proton build without umu-run: refused",
         [&](ManagerHome& home) {
             game(home, "wine:\n  version: GE-Proton9-20\n");
             home.program(u".local/share/Steam/steamapps/common/GE-Proton9-20/proton"_s);
         },
         " ; the game as its path ; WINEESYNC=1 ; WINEDEBUG=-all ; WINEARCH=win64 ; "
         "WINEDLLOVERRIDES=winemenubuilder= ; WINE_LARGE_ADDRESS_AWARE=1 ; WINEPREFIX=~/Games/gt ; "
         "PROTONPATH=~/.local/share/Steam/steamapps/common/GE-Proton9-20 ; "
         "PROTON_VERB=waitforexitandrun ; missing umu-run, which Lutris starts GE-Proton9-20 with, "
         "is not installed",
         "PROTONPATH PROTON_VERB"},
        {"a Wine that was removed: refused, no other Wine",
         [&](ManagerHome& home) {
             game(home, "wine:\n  version: lutris-9.9\n");
             home.program(u"bin/wine"_s);
         },
         " ; WINEESYNC=1 ; WINEDEBUG=-all ; WINEARCH=win64 ; WINEDLLOVERRIDES=winemenubuilder= ; "
         "WINE_LARGE_ADDRESS_AWARE=1 ; WINEPREFIX=~/Games/gt ; missing its Wine lutris-9.9 is "
         "missing"},
    };
    checkRows(rows, readerOf("Lutris"),
              "WINEESYNC WINEDEBUG WINEARCH WINEDLLOVERRIDES WINE_LARGE_ADDRESS_AWARE WINEPREFIX",
              [&](ManagerHome& home) {
                  for (const char* version : {"lutris-7.2", "lutris-6.0"})
                      home.program(u".local/share/lutris/runners/wine/"_s +
                                   QString::fromLatin1(version) + u"/bin/wine"_s);
                  home.addPrefix(u"Games/gt"_s, "GT");
              });
}

TEST(Launch, BottlesAsItsRunCodeStartsAGame) {
    const auto bottle = [](ManagerHome& home, const QString& folder, const QByteArray& yaml) {
        home.addPrefix(folder, "GT");
        home.addFile(folder + u"/bottle.yml"_s, "Name: GT\nArch: win64\n" + yaml);
    };
    const QList<Row> rows = {
        {"a bottle with esync, DXVK, GameMode, its variables and overrides",
         [&](ManagerHome& home) {
             bottle(home, u".local/share/bottles/bottles/GT"_s,
                    "Runner: caffe-7.20\nDLL_Overrides:\n    ddraw: n,b\nEnvironment_Variables:\n"
                    "    GT_MODE: classic\nParameters:\n    dxvk: true\n    gamemode: true\n    "
                    "sync: esync\n");
             home.program(u"bin/gamemoderun"_s);
         },
         "~/bin/gamemoderun|~/.local/share/bottles/runners/caffe-7.20/bin/wine ; "
         "WINEPREFIX=~/.local/share/bottles/bottles/GT ; WINEARCH=win64 ; WINEESYNC=1 ; "
         "WINEDEBUG=fixme-all ; WINE_LARGE_ADDRESS_AWARE=1 ; GT_MODE=classic ; "
         "WINEDLLOVERRIDES=ddraw=n,b;winemenubuilder=''"},
        {"a bottle in the folder chosen in Bottles, its 64-bit Wine",
         [&](ManagerHome& home) {
             home.addFile(u".local/share/bottles/data.yml"_s,
                          "custom_bottles_path: " + QFile::encodeName(home.path(u"Custom"_s)) +
                              "\nnotifications: []\n");
             bottle(home, u"Custom/GT"_s, "Runner: caffe-7.20\nParameters:\n    sync: wine\n");
             home.program(u".local/share/bottles/runners/caffe-7.20/bin/wine64"_s);
         },
         "~/.local/share/bottles/runners/caffe-7.20/bin/wine64 ; WINEPREFIX=~/Custom/GT ; "
         "WINEARCH=win64 ; WINEESYNC=<unset> ; WINEDEBUG=fixme-all ; "
         "WINE_LARGE_ADDRESS_AWARE=<unset> ; GT_MODE=<unset> ; "
         "WINEDLLOVERRIDES=winemenubuilder=''"},
        {"the system's Wine; fsync; a WINEDEBUG the user has is left to them",
         [&](ManagerHome& home) {
             bottle(home, u".local/share/bottles/bottles/GT"_s,
                    "Runner: sys-wine-9.0\nParameters:\n    sync: fsync\n    fixme_logs: true\n");
             home.program(u"bin/wine"_s);
             qputenv("WINEDEBUG", "warn+all");
         },
         "~/bin/wine ; WINEPREFIX=~/.local/share/bottles/bottles/GT ; WINEARCH=win64 ; "
         "WINEESYNC=<unset> ; WINEDEBUG=<unset> ; WINE_LARGE_ADDRESS_AWARE=<unset> ; "
         "GT_MODE=<unset> ; WINEDLLOVERRIDES=winemenubuilder=''"},
        {"a bottle kept elsewhere whose runner was removed: refused",
         [&](ManagerHome& home) {
             home.addFile(u".local/share/bottles/bottles/GT/placeholder.yml"_s,
                          "Path: " + QFile::encodeName(home.path(u"Elsewhere/GT"_s)) + '\n');
             bottle(home, u"Elsewhere/GT"_s,
                    "Custom_Path: true\nPath: " + QFile::encodeName(home.path(u"Elsewhere/GT"_s)) +
                        "\nRunner: soda-9.0\n");
             home.program(u"bin/wine"_s);
         },
         " ; WINEPREFIX=~/Elsewhere/GT ; WINEARCH=win64 ; WINEESYNC=<unset> ; "
         "WINEDEBUG=fixme-all ; WINE_LARGE_ADDRESS_AWARE=<unset> ; GT_MODE=<unset> ; "
         "WINEDLLOVERRIDES=winemenubuilder='' ; missing its runner soda-9.0 is missing"},
    };
    checkRows(rows, readerOf("Bottles"),
              "WINEPREFIX WINEARCH WINEESYNC WINEDEBUG WINE_LARGE_ADDRESS_AWARE GT_MODE "
              "WINEDLLOVERRIDES",
              [](ManagerHome& home) {
                  home.program(u".local/share/bottles/runners/caffe-7.20/bin/wine"_s);
              });
}

TEST(Launch, HeroicAsItsLauncherStartsAGame) {
    const auto game = [](ManagerHome& home, const QByteArray& wine, const QByteArray& more) {
        home.addFile(u".config/heroic/GamesConfig/GT.json"_s,
                     "{\"GT\": {\"winePrefix\": \"" +
                         QFile::encodeName(home.path(u"Games/Heroic/GT"_s)) +
                         "\", \"wineVersion\": " + wine + more + "}, \"version\": \"v0\"}");
    };
    const auto wine = [](ManagerHome& home) {
        return "{\"bin\": \"" +
               QFile::encodeName(home.path(u".config/heroic/tools/wine/Wine-GE-8-26/bin/wine"_s)) +
               "\", \"type\": \"wine\"}";
    };
    const auto proton = [](ManagerHome& home) {
        return "{\"bin\": \"'" +
               QFile::encodeName(home.path(u".config/heroic/tools/proton/GE-Proton/proton"_s)) +
               "'\", \"type\": \"proton\"}";
    };
    const QList<Row> rows = {
        {"Wine with two wrappers, GameMode, a quoted variable and its own overrides",
         [&](ManagerHome& home) {
             game(home, wine(home),
                  ", \"wrapperOptions\": [{\"exe\": \"/usr/bin/taskset\", \"args\": \"-c '0,1'\"}, "
                  "{\"exe\": \"/usr/bin/nice\", \"args\": \"\"}], \"useGameMode\": true, "
                  "\"showFps\": true, \"enviromentOptions\": [{\"key\": \"WINEDLLOVERRIDES\", "
                  "\"value\": \"ddraw=n,b\"}, {\"key\": \"GT_MODE\", \"value\": "
                  "\"\\\"classic\\\"\"}]");
             // esync comes from Heroic's own defaults.
             home.addFile(u".config/heroic/config.json"_s,
                          "{\"defaultSettings\": {\"enableEsync\": true, \"enableFsync\": false}}");
             home.program(u"bin/gamemoderun"_s);
         },
         "/usr/bin/taskset|-c|0,1|/usr/bin/nice|~/bin/gamemoderun|~/.config/heroic/tools/wine/"
         "Wine-GE-8-26/bin/wine ; "
         "WINEPREFIX=~/Games/Heroic/GT ; WINEESYNC=1 ; PROTON_NO_ESYNC=<unset> ; "
         "WINEDLLOVERRIDES=ddraw=n,b;winemenubuilder.exe=d ; GT_MODE=classic ; DXVK_HUD=fps ; "
         "STEAM_COMPAT_DATA_PATH=<unset> ; PROTON_VERB=waitforexitandrun"},
        {"Proton where umu-run is not installed: with its verb",
         [&](ManagerHome& home) { game(home, proton(home), ", \"enableEsync\": false"); },
         "~/.config/heroic/tools/proton/GE-Proton/proton|waitforexitandrun ; "
         "WINEPREFIX=~/Games/Heroic/GT ; "
         "WINEESYNC=<unset> ; PROTON_NO_ESYNC=1 ; WINEDLLOVERRIDES=<unset> ; GT_MODE=<unset> ; "
         "DXVK_HUD=<unset> ; STEAM_COMPAT_DATA_PATH=~/Games/Heroic/GT ; "
         "PROTON_VERB=waitforexitandrun"},
        {"Proton through umu-run",
         [&](ManagerHome& home) {
             game(home, proton(home), ", \"enableEsync\": true");
             home.program(u"bin/umu-run"_s);
         },
         "~/bin/umu-run ; the game as its path ; WINEPREFIX=~/Games/Heroic/GT ; "
         "WINEESYNC=<unset> ; PROTON_NO_ESYNC=<unset> ; WINEDLLOVERRIDES=<unset> ; "
         "GT_MODE=<unset> ; DXVK_HUD=<unset> ; STEAM_COMPAT_DATA_PATH=~/Games/Heroic/GT ; "
         "PROTON_VERB=waitforexitandrun"},
        {"a Wine outside Heroic's tools and the builds it lists: refused",
         [&](ManagerHome& home) {
             home.program(u"Downloads/wine/bin/wine"_s);
             game(home,
                  "{\"bin\": \"" + QFile::encodeName(home.path(u"Downloads/wine/bin/wine"_s)) +
                      "\", \"type\": \"wine\"}",
                  "");
         },
         " ; WINEPREFIX=~/Games/Heroic/GT ; WINEESYNC=<unset> ; PROTON_NO_ESYNC=<unset> ; "
         "WINEDLLOVERRIDES=winemenubuilder.exe=d ; GT_MODE=<unset> ; DXVK_HUD=<unset> ; "
         "STEAM_COMPAT_DATA_PATH=<unset> ; PROTON_VERB=waitforexitandrun ; missing its Wine "
         "~/Downloads/wine/bin/wine, which lies outside Heroic's tools and the Wine builds it "
         "lists"},
        {"a Wine that was removed: refused",
         [&](ManagerHome& home) {
             game(home, "{\"bin\": \"/gone/wine\", \"type\": \"wine\"}", "");
         },
         " ; WINEPREFIX=~/Games/Heroic/GT ; WINEESYNC=<unset> ; PROTON_NO_ESYNC=<unset> ; "
         "WINEDLLOVERRIDES=winemenubuilder.exe=d ; GT_MODE=<unset> ; DXVK_HUD=<unset> ; "
         "STEAM_COMPAT_DATA_PATH=<unset> ; PROTON_VERB=waitforexitandrun ; missing its Wine "
         "/gone/wine is missing"},
    };
    checkRows(rows, readerOf("Heroic"),
              "WINEPREFIX WINEESYNC PROTON_NO_ESYNC WINEDLLOVERRIDES GT_MODE DXVK_HUD "
              "STEAM_COMPAT_DATA_PATH PROTON_VERB",
              [](ManagerHome& home) {
                  home.program(u".config/heroic/tools/wine/Wine-GE-8-26/bin/wine"_s);
                  home.program(u".config/heroic/tools/proton/GE-Proton/proton"_s);
                  home.addPrefix(u"Games/Heroic/GT"_s, "GT");
              });
}

TEST(Launch, SteamsProtonAsSteamStartsAWindowsProgram) {
    const QString steam = u".local/share/Steam"_s;
    const QString proton9 = steam + u"/steamapps/common/Proton 9.0"_s;
    const QString sniper = steam + u"/steamapps/common/SteamLinuxRuntime_sniper"_s;
    const auto nonSteam = [&](ManagerHome& home) {
        home.addPrefix(steam + u"/steamapps/compatdata/3478032731/pfx"_s, "GT");
        home.addFile(steam + u"/steamapps/compatdata/3478032731/config_info"_s,
                     "9.0-100\n" + QFile::encodeName(home.path(proton9)) + "/files/share/fonts/\n");
    };
    const auto runtime = [&](ManagerHome& home) {
        home.program(sniper + u"/_v2-entry-point"_s);
        home.addFile(sniper + u"/toolmanifest.vdf"_s,
                     "\"manifest\"\n{\n  \"version\" \"2\"\n  \"commandline\" \"/_v2-entry-point "
                     "--verb=%verb% --\"\n}\n");
        home.addFile(steam + u"/steamapps/appmanifest_1628350.acf"_s,
                     "\"AppState\"\n{\n\t\"appid\"\t\t\"1628350\"\n\t\"installdir\"\t\t"
                     "\"SteamLinuxRuntime_sniper\"\n\t\"StateFlags\"\t\t\"4\"\n}\n");
    };
    const QList<Row> rows = {
        {"a non-Steam game: its Proton in the runtime it requires, launch options with %command%",
         [&](ManagerHome& home) {
             nonSteam(home);
             runtime(home);
             home.addFile(steam + u"/userdata/12345/config/shortcuts.vdf"_s,
                          shortcut(3478032731u, "GT_LOG=1 taskset -c 0 %command% -windowed"));
         },
         "taskset|-c|0|~/.local/share/Steam/steamapps/common/SteamLinuxRuntime_sniper/"
         "_v2-entry-point|--verb=waitforexitandrun|--|~/.local/share/Steam/steamapps/common/"
         "Proton 9.0/proton|waitforexitandrun ; STEAM_COMPAT_APP_ID=0 ; SteamAppId=<unset> ; "
         "STEAM_COMPAT_INSTALL_PATH=<unset> ; LD_LIBRARY_PATH= ; "
         "STEAM_COMPAT_DATA_PATH=~/.local/share/Steam/steamapps/compatdata/3478032731 ; "
         "STEAM_COMPAT_TOOL_PATHS=~/.local/share/Steam/steamapps/common/Proton 9.0:~/.local/share/"
         "Steam/steamapps/common/SteamLinuxRuntime_sniper ; GT_LOG=1 ; after -windowed"},
        {"the runtime not installed: the Proton with its verb alone",
         [&](ManagerHome& home) { nonSteam(home); },
         "~/.local/share/Steam/steamapps/common/Proton 9.0/proton|waitforexitandrun ; "
         "STEAM_COMPAT_APP_ID=0 ; SteamAppId=<unset> ; STEAM_COMPAT_INSTALL_PATH=<unset> ; "
         "LD_LIBRARY_PATH= ; "
         "STEAM_COMPAT_DATA_PATH=~/.local/share/Steam/steamapps/compatdata/3478032731 ; "
         "STEAM_COMPAT_TOOL_PATHS=~/.local/share/Steam/steamapps/common/Proton 9.0 ; "
         "GT_LOG=<unset>"},
        {"a Steam game: the tool Steam maps it to, its install folder, launch options appended",
         [&](ManagerHome& home) {
             home.addPrefix(u"Library Two/steamapps/compatdata/4711/pfx"_s, "GT");
             home.addFile(u"Library Two/steamapps/appmanifest_4711.acf"_s,
                          "\"AppState\" { \"appid\" \"4711\" \"installdir\" \"Grimvale Tarsis\" "
                          "\"StateFlags\" \"4\" }");
             home.addFile(steam + u"/steamapps/libraryfolders.vdf"_s,
                          "\"libraryfolders\" { \"0\" { \"path\" \"" +
                              QFile::encodeName(home.path(u"Library Two"_s)) + "\" } }");
             home.addFile(steam + u"/config/config.vdf"_s,
                          "\"InstallConfigStore\" { \"Software\" { \"Valve\" { \"Steam\" { "
                          "\"CompatToolMapping\" { \"4711\" { \"name\" \"GE-Proton10-34\" "
                          "\"priority\" \"250\" } } } } } }");
             const QString tool = steam + u"/compatibilitytools.d/GE-Proton10-34"_s;
             home.program(tool + u"/proton"_s);
             home.addFile(tool + u"/compatibilitytool.vdf"_s,
                          "\"compatibilitytools\" { \"compat tools\" { \"GE-Proton10-34\" { "
                          "\"install_path\" \".\" } } }");
             home.addFile(steam + u"/userdata/12345/config/localconfig.vdf"_s,
                          "\"UserLocalConfigStore\" { \"Software\" { \"Valve\" { \"Steam\" { "
                          "\"apps\" { \"4711\" { \"LaunchOptions\" \"-windowed \\\"-name=A B\\\"\" "
                          "} } } } } }");
         },
         "~/.local/share/Steam/compatibilitytools.d/GE-Proton10-34/proton|waitforexitandrun ; "
         "STEAM_COMPAT_APP_ID=4711 ; SteamAppId=4711 ; "
         "STEAM_COMPAT_INSTALL_PATH=~/Library Two/steamapps/common/Grimvale Tarsis ; "
         "LD_LIBRARY_PATH=<unset> ; STEAM_COMPAT_DATA_PATH=~/Library Two/steamapps/compatdata/4711 "
         "; "
         "STEAM_COMPAT_TOOL_PATHS=~/.local/share/Steam/compatibilitytools.d/GE-Proton10-34 ; "
         "GT_LOG=<unset> ; after -windowed|-name=A B"},
        {"a Proton named on a removable disk: refused, not run",
         [&](ManagerHome& home) {
             home.addPrefix(steam + u"/steamapps/compatdata/3478032731/pfx"_s, "GT");
             home.program(u"media/usb/Proton 9.0/proton"_s);
             home.addFile(steam + u"/steamapps/compatdata/3478032731/config_info"_s,
                          "9.0-100\n" + QFile::encodeName(home.path(u"media/usb/Proton 9.0"_s)) +
                              "/files/share/fonts/\n");
         },
         " ; STEAM_COMPAT_APP_ID=0 ; SteamAppId=<unset> ; STEAM_COMPAT_INSTALL_PATH=<unset> ; "
         "LD_LIBRARY_PATH= ; "
         "STEAM_COMPAT_DATA_PATH=~/.local/share/Steam/steamapps/compatdata/3478032731 ; "
         "STEAM_COMPAT_TOOL_PATHS=<unset> ; GT_LOG=<unset> ; missing its Proton "
         "~/media/usb/Proton 9.0, which lies outside Steam's libraries and compatibility tool "
         "folders"},
        {"a Proton that was removed, and no tool mapped: refused",
         [&](ManagerHome& home) {
             nonSteam(home);
             QFile::remove(home.path(proton9 + u"/proton"_s));
         },
         " ; STEAM_COMPAT_APP_ID=0 ; SteamAppId=<unset> ; STEAM_COMPAT_INSTALL_PATH=<unset> ; "
         "LD_LIBRARY_PATH= ; "
         "STEAM_COMPAT_DATA_PATH=~/.local/share/Steam/steamapps/compatdata/3478032731 ; "
         "STEAM_COMPAT_TOOL_PATHS=<unset> ; GT_LOG=<unset> ; missing neither the prefix nor Steam "
         "names a Proton"},
    };
    checkRows(rows, readerOf("Steam"),
              "STEAM_COMPAT_APP_ID SteamAppId STEAM_COMPAT_INSTALL_PATH LD_LIBRARY_PATH "
              "STEAM_COMPAT_DATA_PATH STEAM_COMPAT_TOOL_PATHS GT_LOG",
              [&](ManagerHome& home) {
                  home.program(proton9 + u"/proton"_s);
                  home.addFile(proton9 + u"/toolmanifest.vdf"_s,
                               "\"manifest\" { \"commandline\" \"/proton %verb%\" "
                               "\"require_tool_appid\" \"1628350\" }");
                  QDir().mkpath(home.path(u".steam"_s));
                  QFile::link(home.path(steam), home.path(u".steam/steam"_s));
              });
}
