// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fixtures.h"
#include "platform/GameInstall.h"
#include "platform/ProcessStart.h"
#include "platform/ProgramSettings.h"
#include "platform/wine/ManagerParsers.h"
#include "platform/wine/YamlParser.h"

#include <sys/stat.h>

using namespace gvt;
using test::names;

namespace {

// A home as a player keeps it: a game in ~/.wine, in a Lutris prefix, a bottle, a Steam library
// listed in libraryfolders.vdf, a Heroic prefix, and the managers' files beside garbled ones.
struct Home : test::SettingsHome {
    Home() {
        addPrefix(u".wine"_s, "Games\\Plain");
        addPrefix(u"Games/gt"_s, "GT");
        addFile(u".config/lutris/games/gt-1700000000.yml"_s,
                "game:\n  exe: drive_c/GT/gvtarsis.exe\n  prefix: ~/Games/gt\n"
                "system: {}\nwine:\n  version: lutris-7.2\n");
        addFile(u".config/lutris/games/garbled.yml"_s, QByteArray("\xff\0game:\n\tprefix", 15));
        ::mkfifo(QFile::encodeName(path(u".local/share/lutris/games/waits.yml"_s)), 0644);
        wines.append({u".local/share/lutris/runners/wine/lutris-7.2/bin/wine"_s});
        addPrefix(u".local/share/bottles/bottles/GT"_s, "Bottled");
        addFile(u".local/share/bottles/bottles/GT/bottle.yml"_s,
                "Name: GT\nRunner: caffe-7.20\nVersioning: false\n");
        addFile(u".local/share/bottles/bottles/Broken/bottle.yml"_s, "\x01\x02");
        wines.append({u".local/share/bottles/runners/caffe-7.20/bin/wine"_s});
        const QString library = path(u"Library Two"_s);
        addFile(u".local/share/Steam/steamapps/libraryfolders.vdf"_s,
                "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" +
                    QFile::encodeName(path(u".local/share/Steam"_s)) +
                    "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + QFile::encodeName(library) +
                    "\"\n\t\t\"apps\" { \"4711\" \"1\" }\n\t}\n}\n");
        addFile(u".local/share/Steam/config/libraryfolders.vdf"_s, "\"libraryfolders\" { { } } }");
        QDir().mkpath(path(u".steam"_s));
        QFile::link(path(u".local/share/Steam"_s), path(u".steam/steam"_s));
        addPrefix(u"Library Two/steamapps/compatdata/4711/pfx"_s, "Steamed");
        addFile(u"Library Two/steamapps/compatdata/4711/config_info"_s,
                "8.0-105\n" + QFile::encodeName(library) +
                    "/steamapps/common/Proton 8.0/files/share/fonts/\n");
        wines.append({u"Library Two/steamapps/common/Proton 8.0/proton"_s,
                      u"STEAM_COMPAT_DATA_PATH|STEAM_COMPAT_CLIENT_INSTALL_PATH"_s});
        addPrefix(u"Games/Heroic/GT"_s, "Heroic");
        addFile(u".config/heroic/GamesConfig/GT.json"_s,
                "{\"GT\": {\"winePrefix\": \"" + QFile::encodeName(path(u"Games/Heroic/GT"_s)) +
                    "\", \"wineVersion\": {\"bin\": \"" +
                    QFile::encodeName(path(u".config/heroic/tools/wine/ge/bin/wine"_s)) +
                    "\", "
                    "\"type\": \"wine\"}}, \"version\": \"v0\"}");
        addFile(u".config/heroic/GamesConfig/cut.json"_s, "{\"GT\": {\"winePrefix\": \"/");
        wines.append({u".config/heroic/tools/wine/ge/bin/wine"_s});
        wines.append({u"bin/wine"_s}); // the system's, on PATH
        wines.append({u"bin/wine-staging"_s});
        for (Wine& wine : wines) {
            QDir().mkpath(path(wine.file).section(u'/', 0, -2));
            wine.stub = std::make_shared<test::StubGame>(
                path(wine.file),
                QStringList{u"WINEPREFIX"_s} + wine.variables.split(u'|', Qt::SkipEmptyParts));
        }
        QDir().mkpath(path(u"Desktop"_s));
        QFile::link(path(u"Games/gt/drive_c/GT"_s), path(u"Desktop/GT"_s));
    }
    struct Wine {
        QString file;
        QString variables = {};
        std::shared_ptr<test::StubGame> stub = {};
    };
    QList<Wine> wines;
    test::EnvironmentScope path_{{{"PATH", QFile::encodeName(path(u"bin"_s)) + ":/usr/bin:/bin"}}};
};

} // namespace

TEST(Prefixes, TheLauncherFindsItsOwnPrefixAndStartsTheGameWithThatPrefixsWine) {
    Home home;
    const char* const lutris = ".local/share/lutris/runners/wine/lutris-7.2/bin/wine";
    const char* const caffe = ".local/share/bottles/runners/caffe-7.20/bin/wine";
    const char* const bottle = ".local/share/bottles/bottles/GT";
    const std::array<const char*, 7> rows[] = {
        // the launcher's folder, $WINEPREFIX, $WINE, the Wine started, GAMEDIR found, WINEPREFIX
        // and the Proton variables it gets (";"), its words before the game's executable
        {"Games/gt/drive_c/GT", "", "", lutris, "C:\\GT", "Games/gt", ""},
        {".local/share/bottles/bottles/GT/drive_c/Bottled", "", "", caffe, "C:\\Bottled", bottle,
         ""},
        // The launcher's own prefix comes before $WINEPREFIX.
        // Steam leaves WINEPREFIX to Proton, which takes it from the compatdata folder.
        {"Library Two/steamapps/compatdata/4711/pfx/drive_c/Steamed", "Games/gt", "",
         "Library Two/steamapps/common/Proton 8.0/proton", "C:\\Steamed",
         "Games/gt;Library Two/steamapps/compatdata/4711;.local/share/Steam", "waitforexitandrun"},
        {"Games/Heroic/GT/drive_c/Heroic", "", "", ".config/heroic/tools/wine/ge/bin/wine",
         "C:\\Heroic", "Games/Heroic/GT", ""},
        {".wine/drive_c/Games/Plain", "", "", "bin/wine", "C:\\Games\\Plain", ".wine", ""},
        // Reached through a link outside any prefix; $WINE before the manager's Wine.
        {"Desktop/GT", "", "wine-staging", "bin/wine-staging", "C:\\GT", "Games/gt", ""},
        // In no game folder: the first prefix that records one, $WINEPREFIX before ~/.wine.
        {"Desktop", bottle, "", caffe, "C:\\Bottled", bottle, ""},
        {"Desktop", "", "", "bin/wine", "C:\\Games\\Plain", ".wine", ""},
    };
    for (const auto& [launcher, winePrefix, wine, started, gameDir, recorded, before] : rows) {
        SCOPED_TRACE(std::string(launcher) + " " + winePrefix);
        test::EnvironmentScope environment(
            {{"WINEPREFIX", *winePrefix
                                ? QFile::encodeName(home.path(QString::fromUtf8(winePrefix)))
                                : QByteArray()},
             {"WINE", wine}});
        const QString game = QString::fromUtf8(gameDir);
        const platform::GameInstall lookup = platform::findGameInstall(
            home.path(QString::fromUtf8(launcher)) + u"/gvtarsis-modmanager"_s,
            platform::UserPlaces::ofThisUser());
        EXPECT_EQ(lookup.gameFolder, game);
        platform::DetachedProcessStarter starter;
        ASSERT_EQ(starter.start(lookup, game + u"\\gvtarsis.exe"_s, u"+game  My Mod"_s),
                  platform::StartResult::Started);
        for (const Home::Wine& each : home.wines) {
            const bool expected = each.file == QString::fromUtf8(started);
            const auto record = each.stub->waitForStart(expected ? 5000 : 0);
            ASSERT_EQ(bool(record), expected) << each.file.toStdString();
            if (!record)
                continue;
            QStringList variables;
            for (const QString& folder : QString::fromUtf8(recorded).split(u';'))
                variables.append(home.path(folder));
            EXPECT_EQ(record->environment, variables);
            EXPECT_EQ(record->arguments, QString::fromUtf8(before).split(u' ', Qt::SkipEmptyParts) +
                                             QStringList{game + u"\\gvtarsis.exe"_s} +
                                             names("+game|My|Mod"));
        }
    }
}

TEST(Prefixes, TheOneThatRecordsTheLaunchersFolderWinsOverAnEarlierOneThatRecordsAnother) {
    Home home;
    // A game outside every prefix: ~/.wine, tried first, records another game; a Lutris prefix
    // records this launcher's folder through its drive Z:.
    QDir().mkpath(home.path(u"Outside/GT"_s));
    home.addPrefix(u"Games/zed"_s, "Unused");
    QFile::link(u"/"_s, home.path(u"Games/zed/dosdevices/z:"_s));
    const QByteArray outside =
        "Z:" + QFile::encodeName(home.path(u"Outside/GT"_s)).replace('/', '\\');
    home.addFile(u"Games/zed/system.reg"_s,
                 "WINE REGISTRY Version 2\n\n[Software\\\\Oxley Games\\\\Grimvale Tarsis] 1\n"
                 "\"GAMEDIR\"=\"" +
                     QByteArray(outside).replace("\\", "\\\\") + "\"\n");
    home.addFile(u".config/lutris/games/zed-1700000001.yml"_s,
                 "game:\n  prefix: ~/Games/zed\nwine:\n  version: lutris-7.2\n");
    test::EnvironmentScope environment({{"WINEPREFIX", QByteArray()}});
    const platform::GameInstall found = platform::findGameInstall(
        home.path(u"Outside/GT/gvtarsis-modmanager"_s), platform::UserPlaces::ofThisUser());
    EXPECT_EQ(found.gameFolder, QString::fromUtf8(outside));
    EXPECT_EQ(found.prefix.folder, home.path(u"Games/zed"_s));
    EXPECT_EQ(found.launch.manager, u"Lutris"_s);
}

TEST(Prefixes, ALauncherStartedWithNoVariablesFindsThePrefixAndWineItWasInstalledWith) {
    // The game on a second drive of a prefix that only $WINEPREFIX named at the install.
    Home home;
    home.addPrefix(u"pfx/own"_s, "Unused");
    QFile::link(home.path(u"Drive D"_s), home.path(u"pfx/own/dosdevices/d:"_s));
    home.addFile(u"pfx/own/system.reg"_s,
                 "WINE REGISTRY Version 2\n\n[Software\\\\Oxley "
                 "Games\\\\Grimvale Tarsis] 1\n\"GAMEDIR\"=\"D:\\\\GT\"\n");
    home.addFile(u"Drive D/GT/gvtarsis.exe"_s, "MZ");
    QFile::link(home.path(u"Drive D"_s), home.path(u"Desktop/D"_s));
    const char* const staging = "bin/wine-staging";
    const std::array<const char*, 4> rows[] = {
        // kept for the launcher's folder, the folder it is started from, $WINE, the Wine started
        {"Drive D/GT", "Drive D/GT", "", staging},
        {"Drive D/GT", "Desktop/D/GT", "", staging},      // through a link: compared on disk
        {"Drive D/GT", "Drive D/GT", "wine", "bin/wine"}, // $WINE set at the start wins
        {"Drive D/Other", "Drive D/GT", "", nullptr},     // kept for another folder
    };
    for (const auto& [kept, launcher, wine, started] : rows) {
        SCOPED_TRACE(std::string(launcher) + " " + wine);
        ASSERT_TRUE(platform::keepInstall(
            QCoreApplication::applicationName(), home.path(QString::fromUtf8(kept)),
            {home.path(u"pfx/own"_s), home.path(u"bin/wine-staging"_s)}));
        test::EnvironmentScope environment({{"WINEPREFIX", {}}, {"WINE", wine}});
        const platform::GameInstall lookup = platform::findGameInstall(
            home.path(QString::fromUtf8(launcher)) + u"/gvtarsis-modmanager"_s,
            platform::UserPlaces::ofThisUser());
        ASSERT_TRUE(platform::forgetInstall(QCoreApplication::applicationName(),
                                            home.path(QString::fromUtf8(kept))));
        if (!started) {
            EXPECT_NE(lookup.prefix.folder, home.path(u"pfx/own"_s));
            continue;
        }
        EXPECT_EQ(lookup.gameFolder, u"D:\\GT"_s);
        platform::DetachedProcessStarter starter;
        ASSERT_EQ(starter.start(lookup, u"D:\\GT\\gvtarsis.exe"_s, u"+game"_s),
                  platform::StartResult::Started);
        for (const Home::Wine& each : home.wines) {
            const bool expected = each.file == QString::fromUtf8(started);
            const auto record = each.stub->waitForStart(expected ? 5000 : 0);
            ASSERT_EQ(bool(record), expected) << each.file.toStdString();
            if (record) {
                EXPECT_EQ(record->environment, QStringList{home.path(u"pfx/own"_s)});
            }
        }
    }
}

TEST(Prefixes, ManagersFilesReadAsTheyWriteThem) {
    QList<std::tuple<QByteArray, QStringList, std::optional<QString>>> yaml = {
        {"game:\n  prefix: /a b\n", {u"game"_s, u"prefix"_s}, u"/a b"_s},
        {"game:\n  prefix: '/it''s # not a comment'  # a comment\n",
         {u"game"_s, u"prefix"_s},
         u"/it's # not a comment"_s},
        {"game:\n  prefix: \"/tab\\there \\u00e9\"\n", {u"game"_s, u"prefix"_s}, u"/tab\there é"_s},
        {"game:\n  prefix: /a very long\n    folded path\nwine: {}\n",
         {u"game"_s, u"prefix"_s},
         u"/a very long folded path"_s},
        {"system:\n  prefix: /other\ngame:\n  exe: x\n", {u"game"_s, u"prefix"_s}, std::nullopt},
        {"game:\n- prefix: /listed\n", {u"game"_s, u"prefix"_s}, std::nullopt},
        {"Runner: sys-wine-9.0\r\nName: GT\r\n", {u"Runner"_s}, u"sys-wine-9.0"_s},
        {"game:\n  prefix: ~\n", {u"game"_s, u"prefix"_s}, std::nullopt},
    };
    // A quote that never closes ends the value with its indented lines, read once.
    yaml.append(
        {"game:\n  prefix: \"/open" + QByteArray("\n    more").repeated(100000) + "\nwine: {}\n",
         {u"game"_s, u"prefix"_s},
         std::nullopt});
    for (const auto& [content, keys, expected] : yaml)
        EXPECT_EQ(platform::yamlScalar(content, keys), expected) << content.toStdString();

    EXPECT_EQ(platform::steamLibraryFolders(
                  "// old\n\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\"1\"\n"
                  "\t\"1\"\t\t\"/mnt/Steam \\\"Lib\\\"\"\n}\n\"libraryfolders\" { \"0\" { "
                  "\"label\" \"\" \"path\" \"/new\" \"apps\" { \"path\" \"/not\" } } }"),
              names("/mnt/Steam \"Lib\"|/new"));
    EXPECT_EQ(platform::protonFolderOf("7.0-6\n/s/common/Proton 7.0/dist/share/fonts/\n"),
              u"/s/common/Proton 7.0"_s);
    EXPECT_EQ(platform::protonFolderOf("8.0-105\n"), QString());
}
