#include "common/GameFolder.h"
#include "GameTree.h"
#include "SettingsHome.h"
#include "TestPlatform.h"
#include "common/GameLaunch.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace gvt::common;
using gvt::test::GameTree;

TEST(GameFolder, ListsModFoldersInSearchOrderSkippingFiles) {
    GameTree tree;
    for (const char* name :
         {"zulu", "GvTarsis", "alpha", "gvtarsis", "vorlok", "Vorlok", "My Mod", ".hidden"})
        tree.addFolder(u"Mods/"_s + QString::fromLatin1(name));
    tree.addFile(u"Mods/plain.txt"_s);
    EXPECT_EQ(listModFolders(tree.gameFolder()),
              (QStringList{u".hidden"_s, u"alpha"_s, u"GvTarsis"_s, u"gvtarsis"_s, u"My Mod"_s,
                           u"Vorlok"_s, u"vorlok"_s, u"zulu"_s}));
    // A trailing backslash doubles the separator before "Mods"; the lookup still works.
    EXPECT_EQ(listModFolders(tree.gameFolder() + u"\\"_s).size(), 8);
    EXPECT_TRUE(listModFolders(tree.gameFolder() + u"/nowhere"_s).isEmpty());
}

TEST(GameFolder, ListsProfilesThroughOtherLetterCases) {
    GameTree tree;
    for (const char* name : {"Custom", "Default", "Zed"})
        tree.addFolder(u"Mods/GvTarsis/settings/Profiles/"_s + QString::fromLatin1(name));
    tree.addFile(u"Mods/GvTarsis/settings/Profiles/notes.txt"_s);
    EXPECT_EQ(listProfileFolders(tree.gameFolder()),
              (QStringList{u"Custom"_s, u"Default"_s, u"Zed"_s}));
}

TEST(GameFolder, MapsDisplayNamesExactlyBothWays) {
    struct Case {
        const char* folder;
        const char* shown;
        const char* launchedAs;
    };
    const QList<Case> cases = {
        {"GvTarsis", "Grimvale Tarsis", "GvTarsis"},
        {"gvtarsis", "gvtarsis", "gvtarsis"},
        {"vorlok", "Vorlok", "vorlok"},
        {"Vorlok", "Vorlok", "vorlok"},
        {"VORLOK", "VORLOK", "VORLOK"},
        {"Grimvale Tarsis", "Grimvale Tarsis", "GvTarsis"},
        {"My Mod", "My Mod", "My Mod"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const QString shown = displayNameOf(QString::fromLatin1(c.folder));
        EXPECT_EQ(shown, QString::fromLatin1(c.shown)) << c.folder;
        EXPECT_EQ(folderNameOf(shown), QString::fromLatin1(c.launchedAs)) << c.folder;
    }
}

TEST(GameFolder, AGameInAWinePrefixIsFoundListedReadAndItsLauncherPlaced) {
    gvt::test::SettingsHome home;
    GameTree tree(u"prefix"_s);
    gvt::test::EnvironmentScope prefix({{"WINEPREFIX", QFile::encodeName(tree.gameFolder())}});
    tree.addFile(u"system.reg"_s, "WINE REGISTRY Version 2\n\n[Software\\\\Wow6432Node\\\\"
                                  "Oxley Games\\\\Grimvale Tarsis] 1796494882\n"
                                  "\"GAMEDIR\"=\"C:\\\\Games\\\\Grimvale Tarsis\"\n");
    tree.addFolder(u"drive_c/GAMES/grimvale tarsis/Mods/GvTarsis/settings/Profiles/Custom"_s);
    tree.addFolder(u"drive_c/GAMES/grimvale tarsis/Mods/My Mod"_s);
    tree.addFolder(u"dosdevices"_s);
    ASSERT_TRUE(QFile::link(u"../drive_c"_s, tree.path(u"dosdevices/c:"_s)));

    const QString gameFolder = readGameFolder();
    EXPECT_EQ(gameFolder, u"C:\\Games\\Grimvale Tarsis"_s);
    EXPECT_EQ(listModFolders(gameFolder), (QStringList{u"GvTarsis"_s, u"My Mod"_s}));
    EXPECT_EQ(listProfileFolders(gameFolder), QStringList{u"Custom"_s});

    struct Case {
        QString programFolder;
        bool placed;
    };
    const QList<Case> cases = {
        {tree.path(u"drive_c/GAMES/grimvale tarsis"_s), true},
        {tree.path(u"dosdevices/c:/GAMES/grimvale tarsis/"_s), true},
        {tree.path(u"drive_c/GAMES/grimvale tarsis/Mods/.."_s), true},
        {tree.path(u"drive_c/GAMES"_s), false},
        {tree.path(u"drive_c/GAMES/Grimvale Tarsis"_s), false},
    };
    for (const Case& c : cases) {
        gvt::test::TestPlatform platform(c.programFolder);
        EXPECT_EQ(isPlacedInGameFolder(platform.platform, gameFolder), c.placed)
            << c.programFolder.toStdString();
    }
    // A game folder outside the prefix compares as text.
    gvt::test::TestPlatform platform(tree.path(u"drive_c/GAMES/grimvale tarsis"_s));
    EXPECT_FALSE(isPlacedInGameFolder(platform.platform,
                                      tree.path(u"drive_c/GAMES/grimvale tarsis/Mods/.."_s)));
}
