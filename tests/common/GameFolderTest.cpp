#include "common/GameFolder.h"
#include "GameTree.h"
#include "SettingsHome.h"

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

TEST(GameFolder, ReadsTheInstallersValue) {
    gvt::test::SettingsHome home;
    EXPECT_EQ(readGameFolder(), QString());
    home.setGameDir(u"/games/Grimvale Tarsis"_s);
    EXPECT_EQ(readGameFolder(), u"/games/Grimvale Tarsis"_s);
}
