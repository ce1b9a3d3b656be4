#include "common/GameFolder.h"
#include "GameTree.h"
#include "SettingsHome.h"

#include <gtest/gtest.h>

using namespace gvt::common;
using gvt::test::GameTree;

TEST(GameFolder, ListsModFoldersInSearchOrderSkippingFiles) {
    GameTree tree;
    for (const char* name :
         {"zulu", "GvTarsis", "alpha", "gvtarsis", "vorlok", "Vorlok", "My Mod", ".hidden"})
        tree.addFolder(QStringLiteral("Mods/") + QString::fromLatin1(name));
    tree.addFile(QStringLiteral("Mods/plain.txt"));
    EXPECT_EQ(
        listModFolders(tree.gameFolder()),
        (QStringList{QStringLiteral(".hidden"), QStringLiteral("alpha"), QStringLiteral("GvTarsis"),
                     QStringLiteral("gvtarsis"), QStringLiteral("My Mod"), QStringLiteral("Vorlok"),
                     QStringLiteral("vorlok"), QStringLiteral("zulu")}));
    // A trailing backslash doubles the separator before "Mods"; the lookup still works.
    EXPECT_EQ(listModFolders(tree.gameFolder() + QStringLiteral("\\")).size(), 8);
    EXPECT_TRUE(listModFolders(tree.gameFolder() + QStringLiteral("/nowhere")).isEmpty());
}

TEST(GameFolder, ListsProfilesThroughOtherLetterCases) {
    GameTree tree;
    for (const char* name : {"Custom", "Default", "Zed"})
        tree.addFolder(QStringLiteral("Mods/GvTarsis/settings/Profiles/") +
                       QString::fromLatin1(name));
    tree.addFile(QStringLiteral("Mods/GvTarsis/settings/Profiles/notes.txt"));
    EXPECT_EQ(
        listProfileFolders(tree.gameFolder()),
        (QStringList{QStringLiteral("Custom"), QStringLiteral("Default"), QStringLiteral("Zed")}));
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
    home.setGameDir(QStringLiteral("/games/Grimvale Tarsis"));
    EXPECT_EQ(readGameFolder(), QStringLiteral("/games/Grimvale Tarsis"));
}
