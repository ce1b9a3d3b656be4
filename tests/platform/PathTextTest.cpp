#include "platform/PathText.h"
#include "GameTree.h"
#include "TestPlatform.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using gvt::platform::resolvePath;
using gvt::test::GameTree;

TEST(PathText, ResolvesComponentsWithoutRegardToCaseAndDrivesThroughThePrefix) {
    GameTree tree;
    tree.addFile(u"Mods/GvTarsis/settings/Profiles/Custom/Video.con"_s);
    tree.addFile(u"Mods/GvTarsis/Init.con"_s);
    tree.addFolder(u"Twin/abc"_s);
    tree.addFolder(u"Twin/ABC"_s);
    tree.addFolder(u"Twin/Abc"_s);
    tree.addFolder(u"prefix/drive_c/Games/Grimvale Tarsis/My Music"_s);
    tree.addFolder(u"prefix/dosdevices"_s);
    ASSERT_TRUE(QFile::link(u"../drive_c"_s, tree.path(u"prefix/dosdevices/c:"_s)));
    ASSERT_TRUE(QFile::link(tree.path(u"Mods"_s), tree.path(u"prefix/dosdevices/m:"_s)));
    gvt::test::EnvironmentScope prefix({{"WINEPREFIX", QFile::encodeName(tree.path(u"prefix"_s))}});
    const QString root = tree.gameFolder();
    const QString c = tree.path(u"prefix/dosdevices/c:/"_s);

    struct Case {
        const char* name;
        QString text;
        QString expected;
    };
    const QList<Case> cases = {
        {"backslashes in other case", root + u"\\MODS\\gvtarsis\\Init.con"_s,
         tree.path(u"Mods/GvTarsis/Init.con"_s)},
        {"mixed separators", root + u"/Mods\\GVTarsis/Settings\\Profiles"_s,
         tree.path(u"Mods/GvTarsis/settings/Profiles"_s)},
        {"doubled backslash acts as one", root + u"\\\\Mods\\\\GvTarsis"_s,
         tree.path(u"Mods/GvTarsis"_s)},
        {"exact case wins", root + u"\\Twin\\Abc"_s, tree.path(u"Twin/Abc"_s)},
        {"ordinally first of case twins", root + u"\\Twin\\aBc"_s, tree.path(u"Twin/ABC"_s)},
        {"missing component keeps spelling", root + u"\\mods\\NoSuch\\File.CON"_s,
         tree.path(u"Mods/NoSuch/File.CON"_s)},
        {"trailing separator", root + u"\\Mods\\"_s, tree.path(u"Mods"_s)},
        {"drive C", u"C:\\GAMES\\grimvale tarsis\\my music"_s,
         c + u"Games/Grimvale Tarsis/My Music"_s},
        {"drive letter in lower case", u"c:/games"_s, c + u"Games"_s},
        {"a drive anywhere", u"M:\\gvtarsis\\init.con"_s,
         tree.path(u"prefix/dosdevices/m:/GvTarsis/Init.con"_s)},
        {"unknown drive is missing", u"Q:\\Games"_s, tree.path(u"prefix/dosdevices/q:/Games"_s)},
    };
    for (const Case& test : cases)
        EXPECT_EQ(resolvePath(test.text), test.expected) << test.name;
}
