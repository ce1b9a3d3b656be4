// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProcessStart.h"
#include "Fixtures.h"
#include "platform/files/PathLookup.h"

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
