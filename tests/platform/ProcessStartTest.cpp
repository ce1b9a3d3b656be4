// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProcessStart.h"

#include "Fixtures.h"
#include "platform/files/PathLookup.h"
#include <QProcess>

using gvt::platform::StartResult;
using gvt::test::EnvironmentScope;
using gvt::test::fileNameOfText;
using gvt::test::GameTree;

TEST(ProcessStart, WindowsProgramsAndDrivePathsGoThroughWineInThePrefix) {
    // "C:" or the game folder; LC_ALL, LC_CTYPE and LANG before, and as the game gets them
    const std::array<const char*, 3> cases[] = {
        {"", "||de_DE.UTF-8", "<unset>|<unset>|de_DE.UTF-8"}, // the user's UTF-8 locale stays
        {"C:", "||", "<unset>|C.UTF-8|<unset>"},
        {"C:", "xx_XX.ISO-8859-1|C|C", "<unset>|C.UTF-8|xx_XX.ISO-8859-1"}, // LANG stands in
        {"C:", "en_GB.utf8||", "en_GB.utf8|<unset>|<unset>"},
    };
    for (const auto& [drive, before, after] : cases) {
        GameTree tree;
        tree.addFile(u"GvTarsis.exe"_s, "MZ\x90 a Windows program");
        tree.setMode(u"GvTarsis.exe"_s, 0755); // as Wine's installers leave it
        tree.addFolder(u"prefix/dosdevices"_s);
        QFile::link(tree.gameFolder, tree.path(u"prefix/dosdevices/c:"_s));
        gvt::test::StubGame wine(tree.path(u"wine-8"_s),
                                 gvt::test::names("WINEPREFIX|LC_ALL|LC_CTYPE|LANG"));
        const QList<QByteArray> locale = gvt::test::lines(before);
        EnvironmentScope environment({{"LC_ALL", locale[0]},
                                      {"LC_CTYPE", locale[1]},
                                      {"LANG", locale[2]},
                                      {"WINE", QFile::encodeName(tree.path(u"wine-8"_s))},
                                      {"WINEPREFIX", QFile::encodeName(tree.path(u"prefix"_s))}});
        const QString executable = (*drive ? u"C:"_s : tree.gameFolder) + u"\\gvtarsis.exe"_s;
        gvt::platform::DetachedProcessStarter starter;
        const gvt::platform::GameInstall game = gvt::platform::findGameInstall(
            tree.path(u"launcher/gvtarsis-modmanager"_s), gvt::platform::UserPlaces::ofThisUser());
        EXPECT_EQ(starter.start(game, executable, u"+game My Mod"_s), StartResult::Started)
            << before;
        const auto record = wine.waitForStart();
        ASSERT_TRUE(record) << before;
        EXPECT_EQ(record->environment.join(u'|'),
                  tree.path(u"prefix"_s) + u'|' + QString::fromLatin1(after))
            << before;
        const QString program = *drive ? executable : tree.path(u"GvTarsis.exe"_s);
        EXPECT_EQ(record->arguments, QStringList{program} + gvt::test::names("+game|My|Mod"));
    }
}

TEST(ProcessStart, WithoutWineNothingStartsAndTheCallerIsTold) {
    GameTree tree;
    tree.addFile(u"gvtarsis.exe"_s, "MZ");
    EnvironmentScope environment({{"WINE", QFile::encodeName(tree.path(u"no-such-wine"_s))}});
    gvt::platform::DetachedProcessStarter starter;
    const gvt::platform::GameInstall game = gvt::platform::findGameInstall(
        tree.path(u"gvtarsis-modmanager"_s), gvt::platform::UserPlaces::ofThisUser());
    EXPECT_EQ(starter.start(game, tree.gameFolder + u"\\gvtarsis.exe"_s, QString()),
              StartResult::NoWine);
    EXPECT_EQ(starter.start(game, u"C:\\Games\\gvtarsis.exe"_s, QString()), StartResult::NoWine);
    // A game that is not there is not a matter of Wine.
    EXPECT_EQ(starter.start(game, tree.gameFolder + u"\\missing.exe"_s, QString()),
              StartResult::Failed);
}

TEST(ProcessStart, TheProgramPathIsTheOneItWasStartedByWithLinksKept) {
    // A folder whose name is not UTF-8 comes back byte for byte, as the game folder has it.
    GameTree odd(gvt::platform::textOfFileName("Caf\xe9 Games"));
    const QByteArray oddLauncher = fileNameOfText(odd.path(u"gvtarsis-modmanager"_s));
    ASSERT_EQ(::symlink("/proc/self/exe", oddLauncher.constData()), 0);
    EXPECT_EQ(gvt::platform::programFolderOf(
                  gvt::platform::SystemProgramLocation(oddLauncher).programPath()),
              odd.gameFolder);

    GameTree tree;
    tree.addFile(u"real/Grimvale Tarsis/gvtarsis-modmanager"_s);
    tree.setMode(u"real/Grimvale Tarsis/gvtarsis-modmanager"_s, 0755);
    tree.addFile(u"other"_s);
    QFile::link(tree.path(u"real"_s), tree.path(u"linked"_s));
    const QString real = tree.path(u"real/Grimvale Tarsis/gvtarsis-modmanager"_s);
    const QString linked = tree.path(u"linked/Grimvale Tarsis/gvtarsis-modmanager"_s);
    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(tree.path(u"linked"_s)); // the system keeps it with links resolved
    EnvironmentScope environment(
        {{"PWD", QFile::encodeName(tree.path(u"linked"_s))},
         {"PATH", QFile::encodeName(tree.path(u"linked/Grimvale Tarsis"_s))}});
    // Absolute through the linked folder, relative to the folder the shell names, found on PATH,
    // a path to another file.
    const QList<QPair<QString, QString>> cases = {
        {linked, linked},
        {u"./Grimvale Tarsis/gvtarsis-modmanager"_s, linked},
        {u"gvtarsis-modmanager"_s, linked},
        {tree.path(u"other"_s), real}};
    for (const auto& [startedAs, expected] : cases)
        EXPECT_EQ(gvt::platform::startedProgramPath(startedAs, real), expected)
            << startedAs.toStdString();
    QDir::setCurrent(oldCurrent);
}

TEST(ProcessStart, EveryStartIsRecordedAndItsCommandStartsTheGameTheSameWay) {
    // A bottle that keeps only PATH and HOME of the launcher's variables, and sets one that a
    // shell would mangle unquoted; its runner prints to both outputs.
    gvt::test::SettingsHome home;
    const QString bottle = home.path(u".local/share/bottles/bottles/GT"_s);
    home.addPrefix(u".local/share/bottles/bottles/GT"_s, "GT");
    home.addFile(u".local/share/bottles/bottles/GT/bottle.yml"_s,
                 "Name: GT\nRunner: caffe-7.20\nLimit_System_Environment: true\n"
                 "Inherited_Environment_Variables:\n- PATH\n- HOME\nEnvironment_Variables:\n"
                 "    GT_MODE: 'it''s \"classic\" $HOME'\n");
    const QString wine = home.path(u".local/share/bottles/runners/caffe-7.20/bin/wine"_s);
    QDir().mkpath(wine.section(u'/', 0, -2));
    gvt::test::StubGame stub(wine, gvt::test::names("GT_MODE|GT_GONE|WINEPREFIX|LC_CTYPE"));
    QFile script(wine);
    script.open(QIODevice::Append);
    script.write("echo 'out from the game'; echo 'err from Wine' >&2\n");
    script.close();
    home.addFile(u".local/state/gvtarsis-modmanager/last-start.log"_s,
                 QByteArray(6 << 20, 'a') + QByteArray(3 << 20, 'z'));
    EnvironmentScope environment(
        {{"GT_GONE", "1"}, {"LC_ALL", {}}, {"LC_CTYPE", {}}, {"LANG", "C"}});
    const gvt::platform::GameInstall game = gvt::platform::findGameInstall(
        bottle + u"/drive_c/GT/gvtarsis-modmanager"_s, gvt::platform::UserPlaces::ofThisUser());
    gvt::platform::DetachedProcessStarter starter;
    ASSERT_EQ(starter.start(game, game.gameFolder + u"\\gvtarsis.exe"_s, u"+game My Mod"_s),
              StartResult::Started);
    const auto first = stub.waitForStart();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->environment,
              QStringList({u"it's \"classic\" $HOME"_s, u"<unset>"_s, bottle, u"C.UTF-8"_s}));
    EXPECT_EQ(first->arguments, gvt::test::names("C:\\GT\\gvtarsis.exe|+game|My|Mod"));

    QFile record(home.path(u".local/state/gvtarsis-modmanager/last-start.log"_s));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        record.open(QIODevice::ReadOnly);
        const bool done = record.readAll().contains("err from Wine");
        record.close();
        return done;
    }));
    record.open(QIODevice::ReadOnly);
    const QList<QByteArray> lines = record.readAll().split('\n');
    const QString source = u"~/.local/share/bottles/bottles/GT/bottle.yml: "_s;
    for (const QByteArray& expected :
         QList<QByteArray>{"Game: C:\\GT", "Prefix: " + QFile::encodeName(bottle) + " (Bottles)",
                           "Wine: " + QFile::encodeName(wine) + " (" + source.toUtf8() + "Runner)",
                           "Variable: GT_MODE=it's \"classic\" $HOME (" + source.toUtf8() +
                               "Environment_Variables: GT_MODE)",
                           "Removed: GT_GONE (" + source.toUtf8() + "Limit_System_Environment)",
                           "Variable: LC_CTYPE=C.UTF-8 (the game's locale)",
                           QByteArray("--- what the game and Wine print follows ---"),
                           QByteArray("out from the game"), QByteArray("err from Wine")})
        EXPECT_TRUE(lines.contains(expected)) << expected.toStdString();
    // The record before is kept, its last 8 MiB.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return QFileInfo(home.path(u".local/state/gvtarsis-modmanager/last-start.1.log"_s))
                   .size() == 8 << 20;
    }));
    QFile previous(home.path(u".local/state/gvtarsis-modmanager/last-start.1.log"_s));
    previous.open(QIODevice::ReadOnly);
    EXPECT_EQ(previous.readAll(), QByteArray(5 << 20, 'a') + QByteArray(3 << 20, 'z'));

    // Its command, run by a shell with the launcher's environment, starts the game the same way.
    QByteArray command;
    for (const QByteArray& line : lines) {
        if (line.startsWith("Command: "))
            command = line.mid(9);
    }
    ASSERT_TRUE(command.startsWith("env -u ")) << command.toStdString();
    ASSERT_EQ(QProcess::execute(u"/bin/sh"_s, {u"-c"_s, QString::fromUtf8(command)}), 0);
    const auto again = stub.waitForStart();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->environment, first->environment);
    EXPECT_EQ(again->arguments, first->arguments);
    EXPECT_EQ(again->currentDirectory, first->currentDirectory);
}
