#include "Fixtures.h"
#include "platform/Platform.h"

using gvt::platform::StartResult;
using gvt::test::EnvironmentScope;
using gvt::test::GameTree;

TEST(ProcessStart, WindowsProgramsAndDrivePathsGoThroughWineInThePrefix) {
    struct Case {
        const char* name;
        bool drivePath;
        QByteArray lcAll, lcCtype, lang;
        QStringList expected; // WINEPREFIX, then LC_ALL, LC_CTYPE and LANG as the game gets them
    };
    const QList<Case> cases = {
        {"executable Windows program, user's UTF-8 locale kept",
         false,
         {},
         {},
         "de_DE.UTF-8",
         {u"<unset>"_s, u"<unset>"_s, u"de_DE.UTF-8"_s}},
        {"drive path, no locale", true, {}, {}, {}, {u"<unset>"_s, u"C.UTF-8"_s, u"<unset>"_s}},
        {"LC_ALL without UTF-8 hands over to LANG",
         true,
         "fr_FR.ISO-8859-1",
         "C",
         "C",
         {u"<unset>"_s, u"C.UTF-8"_s, u"fr_FR.ISO-8859-1"_s}},
        {"UTF-8 LC_ALL kept",
         true,
         "en_GB.utf8",
         {},
         {},
         {u"en_GB.utf8"_s, u"<unset>"_s, u"<unset>"_s}},
    };
    for (const Case& c : cases) {
        GameTree tree;
        tree.addFile(u"GvTarsis.exe"_s, "MZ\x90 a Windows program");
        tree.setMode(u"GvTarsis.exe"_s, 0755); // as Wine's installers leave it
        tree.addFolder(u"prefix/dosdevices"_s);
        ASSERT_TRUE(QFile::link(tree.gameFolder, tree.path(u"prefix/dosdevices/c:"_s)));
        gvt::test::StubGame wine(tree.path(u"wine-8"_s),
                                 {u"WINEPREFIX"_s, u"LC_ALL"_s, u"LC_CTYPE"_s, u"LANG"_s});
        EnvironmentScope environment({{"LC_ALL", c.lcAll},
                                      {"LC_CTYPE", c.lcCtype},
                                      {"LANG", c.lang},
                                      {"WINE", QFile::encodeName(tree.path(u"wine-8"_s))},
                                      {"WINEPREFIX", QFile::encodeName(tree.path(u"prefix"_s))}});
        const QString executable =
            c.drivePath ? u"C:\\gvtarsis.exe"_s : tree.gameFolder + u"\\gvtarsis.exe"_s;
        gvt::platform::DetachedProcessStarter starter;
        EXPECT_EQ(starter.start(executable, u"+game My Mod"_s), StartResult::Started) << c.name;

        const auto record = wine.waitForStart();
        ASSERT_TRUE(record) << c.name;
        EXPECT_EQ(record->environment, QStringList{tree.path(u"prefix"_s)} + c.expected) << c.name;
        const QString program = c.drivePath ? executable : tree.path(u"GvTarsis.exe"_s);
        EXPECT_EQ(record->arguments, (QStringList{program, u"+game"_s, u"My"_s, u"Mod"_s}))
            << c.name;
    }
}

TEST(ProcessStart, WithoutWineNothingStartsAndTheCallerIsTold) {
    GameTree tree;
    tree.addFile(u"gvtarsis.exe"_s, "MZ");
    EnvironmentScope environment({{"WINE", QFile::encodeName(tree.path(u"no-such-wine"_s))}});
    gvt::platform::DetachedProcessStarter starter;
    EXPECT_EQ(starter.start(tree.gameFolder + u"\\gvtarsis.exe"_s, QString()), StartResult::NoWine);
    EXPECT_EQ(starter.start(u"C:\\Games\\gvtarsis.exe"_s, QString()), StartResult::NoWine);
    // A game that is not there is not a matter of Wine.
    EXPECT_EQ(starter.start(tree.gameFolder + u"\\missing.exe"_s, QString()), StartResult::Failed);
}

TEST(ProcessStart, TheProgramPathIsTheOneItWasStartedByWithLinksKept) {
    GameTree tree;
    tree.addFile(u"real/Grimvale Tarsis/gvtarsis-modmanager"_s);
    tree.setMode(u"real/Grimvale Tarsis/gvtarsis-modmanager"_s, 0755);
    tree.addFile(u"other"_s);
    ASSERT_TRUE(QFile::link(tree.path(u"real"_s), tree.path(u"linked"_s)));
    const QString real = tree.path(u"real/Grimvale Tarsis/gvtarsis-modmanager"_s);
    const QString linked = tree.path(u"linked/Grimvale Tarsis/gvtarsis-modmanager"_s);
    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(tree.path(u"linked"_s)); // the system keeps it with links resolved
    EnvironmentScope environment(
        {{"PWD", QFile::encodeName(tree.path(u"linked"_s))},
         {"PATH", QFile::encodeName(tree.path(u"linked/Grimvale Tarsis"_s))}});
    const QList<std::tuple<const char*, QString, QString>> cases = {
        {"absolute, through a linked folder", linked, linked},
        {"relative to the folder the shell names", u"./Grimvale Tarsis/gvtarsis-modmanager"_s,
         linked},
        {"found on PATH", u"gvtarsis-modmanager"_s, linked},
        {"a path to another file", tree.path(u"other"_s), real},
        {"nothing", QString(), real},
    };
    for (const auto& [name, startedAs, expected] : cases)
        EXPECT_EQ(gvt::platform::startedProgramPath(startedAs, real), expected) << name;
    QDir::setCurrent(oldCurrent);
}
