#include "GameTree.h"
#include "StubGame.h"
#include "TestPlatform.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using gvt::platform::StartResult;
using gvt::test::EnvironmentScope;
using gvt::test::GameTree;
using gvt::test::StubGame;

TEST(ProcessStart, StartsTheResolvedFileWithBlankSeparatedWords) {
    GameTree tree(u"Grimvale  Tarsis Gold"_s);
    StubGame stub(tree.path(u"GVTarsis.exe"_s));
    gvt::platform::DetachedProcessStarter starter;
    EXPECT_EQ(
        starter.start(tree.gameFolder() + u"\\gvtarsis.exe"_s, u"+game  My Mod +restart 1 "_s),
        StartResult::Started);
    const auto record = stub.waitForStart();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->arguments,
              (QStringList{u"+game"_s, u"My"_s, u"Mod"_s, u"+restart"_s, u"1"_s}));
    EXPECT_EQ(record->currentDirectory, QDir::current().canonicalPath());
}

TEST(ProcessStart, WindowsProgramsAndDrivePathsGoThroughWineInThePrefix) {
    struct Case {
        const char* name;
        bool drivePath;
        QList<QPair<const char*, QByteArray>> locale;
        QStringList expectedLocale; // LC_ALL, LC_CTYPE, LANG as the game gets them
    };
    const QList<Case> cases = {
        {"executable Windows program, user's UTF-8 locale kept",
         false,
         {{"LC_ALL", {}}, {"LC_CTYPE", {}}, {"LANG", "de_DE.UTF-8"}},
         {u"<unset>"_s, u"<unset>"_s, u"de_DE.UTF-8"_s}},
        {"drive path, no locale",
         true,
         {{"LC_ALL", {}}, {"LC_CTYPE", {}}, {"LANG", {}}},
         {u"<unset>"_s, u"C.UTF-8"_s, u"<unset>"_s}},
        {"LC_ALL without UTF-8 hands over to LANG",
         true,
         {{"LC_ALL", "fr_FR.ISO-8859-1"}, {"LC_CTYPE", "C"}, {"LANG", "C"}},
         {u"<unset>"_s, u"C.UTF-8"_s, u"fr_FR.ISO-8859-1"_s}},
        {"UTF-8 LC_ALL kept",
         true,
         {{"LC_ALL", "en_GB.utf8"}, {"LC_CTYPE", {}}, {"LANG", {}}},
         {u"en_GB.utf8"_s, u"<unset>"_s, u"<unset>"_s}},
    };
    for (const Case& c : cases) {
        GameTree tree;
        tree.addFile(u"GvTarsis.exe"_s, "MZ\x90\x00 a Windows program");
        tree.setMode(u"GvTarsis.exe"_s, 0755); // as Wine's installers leave it
        StubGame wine(tree.path(u"wine-8"_s),
                      {u"WINEPREFIX"_s, u"LC_ALL"_s, u"LC_CTYPE"_s, u"LANG"_s});
        QList<QPair<const char*, QByteArray>> variables = c.locale;
        variables.append({"WINE", QFile::encodeName(tree.path(u"wine-8"_s))});
        variables.append({"WINEPREFIX", QFile::encodeName(tree.path(u"prefix"_s))});
        EnvironmentScope environment(variables);
        tree.addFolder(u"prefix/dosdevices"_s);
        ASSERT_TRUE(QFile::link(tree.gameFolder(), tree.path(u"prefix/dosdevices/c:"_s)));
        const QString executable =
            c.drivePath ? u"C:\\gvtarsis.exe"_s : tree.gameFolder() + u"\\gvtarsis.exe"_s;
        gvt::platform::DetachedProcessStarter starter;
        EXPECT_EQ(starter.start(executable, u"+game My Mod"_s), StartResult::Started) << c.name;

        const auto record = wine.waitForStart();
        ASSERT_TRUE(record) << c.name;
        EXPECT_EQ(record->environment, QStringList{tree.path(u"prefix"_s)} + c.expectedLocale)
            << c.name;
        EXPECT_EQ(record->arguments,
                  (QStringList{c.drivePath ? executable : tree.path(u"GvTarsis.exe"_s), u"+game"_s,
                               u"My"_s, u"Mod"_s}))
            << c.name;
    }
}

TEST(ProcessStart, WithoutWineNothingStartsAndTheCallerIsTold) {
    GameTree tree;
    tree.addFile(u"gvtarsis.exe"_s, "MZ");
    EnvironmentScope environment({{"WINE", QFile::encodeName(tree.path(u"no-such-wine"_s))}});
    gvt::platform::DetachedProcessStarter starter;
    EXPECT_EQ(starter.start(tree.gameFolder() + u"\\gvtarsis.exe"_s, u"+game x"_s),
              StartResult::NoWine);
    EXPECT_EQ(starter.start(u"C:\\Games\\gvtarsis.exe"_s, u"+game x"_s), StartResult::NoWine);
    // A game that is not there is not a matter of Wine.
    EXPECT_EQ(starter.start(tree.gameFolder() + u"\\missing.exe"_s, u"+game x"_s),
              StartResult::Failed);
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
    struct Case {
        const char* name;
        QString startedAs;
        QString expected;
    };
    const QList<Case> cases = {
        {"absolute, through a linked folder", linked, linked},
        {"relative to the folder as the shell spells it",
         u"./Grimvale Tarsis/gvtarsis-modmanager"_s, linked},
        {"found on PATH", u"gvtarsis-modmanager"_s, linked},
        {"a path to another file", tree.path(u"other"_s), real},
        {"nothing", QString(), real},
    };
    for (const Case& c : cases)
        EXPECT_EQ(gvt::platform::startedProgramPath(c.startedAs, real), c.expected) << c.name;
    QDir::setCurrent(oldCurrent);
}
