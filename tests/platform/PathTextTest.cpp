#include "platform/PathText.h"
#include "GameTree.h"

#include <gtest/gtest.h>

using gvt::platform::resolvePath;
using gvt::test::GameTree;

TEST(PathText, ResolvesComponentsWithoutRegardToCase) {
    GameTree tree;
    tree.addFile(QStringLiteral("Mods/GvTarsis/settings/Profiles/Custom/Video.con"));
    tree.addFile(QStringLiteral("Mods/GvTarsis/Init.con"));
    tree.addFolder(QStringLiteral("Twin/abc"));
    tree.addFolder(QStringLiteral("Twin/ABC"));
    tree.addFolder(QStringLiteral("Twin/Abc"));
    const QString root = tree.gameFolder();

    struct Case {
        const char* name;
        QString text;
        QString expected;
    };
    const QList<Case> cases = {
        {"backslashes in other case", root + QStringLiteral("\\MODS\\gvtarsis\\Init.con"),
         tree.path(QStringLiteral("Mods/GvTarsis/Init.con"))},
        {"mixed separators", root + QStringLiteral("/Mods\\GVTarsis/Settings\\Profiles"),
         tree.path(QStringLiteral("Mods/GvTarsis/settings/Profiles"))},
        {"doubled backslash acts as one", root + QStringLiteral("\\\\Mods\\\\GvTarsis"),
         tree.path(QStringLiteral("Mods/GvTarsis"))},
        {"exact case wins", root + QStringLiteral("\\Twin\\Abc"),
         tree.path(QStringLiteral("Twin/Abc"))},
        {"ordinally first of case twins", root + QStringLiteral("\\Twin\\aBc"),
         tree.path(QStringLiteral("Twin/ABC"))},
        {"missing component keeps spelling", root + QStringLiteral("\\mods\\NoSuch\\File.CON"),
         tree.path(QStringLiteral("Mods/NoSuch/File.CON"))},
        {"trailing separator", root + QStringLiteral("\\Mods\\"),
         tree.path(QStringLiteral("Mods"))},
    };
    for (const Case& c : cases)
        EXPECT_EQ(resolvePath(c.text), c.expected) << c.name;
}
