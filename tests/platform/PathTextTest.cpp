#include "platform/PathText.h"
#include "GameTree.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using gvt::platform::resolvePath;
using gvt::test::GameTree;

TEST(PathText, ResolvesComponentsWithoutRegardToCase) {
    GameTree tree;
    tree.addFile(u"Mods/GvTarsis/settings/Profiles/Custom/Video.con"_s);
    tree.addFile(u"Mods/GvTarsis/Init.con"_s);
    tree.addFolder(u"Twin/abc"_s);
    tree.addFolder(u"Twin/ABC"_s);
    tree.addFolder(u"Twin/Abc"_s);
    const QString root = tree.gameFolder();

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
    };
    for (const Case& c : cases)
        EXPECT_EQ(resolvePath(c.text), c.expected) << c.name;
}
