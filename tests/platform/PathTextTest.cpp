#include "platform/PathText.h"
#include "Fixtures.h"

using gvt::platform::resolvePath;
using gvt::test::GameTree;

TEST(PathText, ResolvesComponentsWithoutRegardToCaseAndDrivesThroughThePrefix) {
    GameTree tree;
    tree.addFile(u"Mods/GvTarsis/settings/Profiles/Custom/Video.con"_s);
    for (const char* twin : {"Twin/abc", "Twin/ABC", "Twin/Abc"})
        tree.addFolder(QString::fromLatin1(twin));
    tree.addFolder(u"prefix/drive_c/Games/Grimvale Tarsis/My Music"_s);
    tree.addFolder(u"prefix/dosdevices"_s);
    ASSERT_TRUE(QFile::link(u"../drive_c"_s, tree.path(u"prefix/dosdevices/c:"_s)));
    ASSERT_TRUE(QFile::link(tree.path(u"Mods"_s), tree.path(u"prefix/dosdevices/m:"_s)));
    gvt::test::EnvironmentScope prefix({{"WINEPREFIX", QFile::encodeName(tree.path(u"prefix"_s))}});
    const QString root = tree.gameFolder;
    const QString c = tree.path(u"prefix/dosdevices/c:/"_s);
    const QList<std::tuple<const char*, QString, QString>> cases = {
        {"other case, mixed separators", root + u"\\MODS/gvtarsis\\Settings\\profiles"_s,
         tree.path(u"Mods/GvTarsis/settings/Profiles"_s)},
        {"exact case wins", root + u"\\Twin\\Abc"_s, tree.path(u"Twin/Abc"_s)},
        {"ordinally first of case twins", root + u"\\Twin\\aBc"_s, tree.path(u"Twin/ABC"_s)},
        {"missing component keeps spelling", root + u"\\mods\\NoSuch\\File.CON"_s,
         tree.path(u"Mods/NoSuch/File.CON"_s)},
        {"drive C", u"C:\\GAMES\\grimvale tarsis\\my music"_s,
         c + u"Games/Grimvale Tarsis/My Music"_s},
        {"a drive anywhere", u"M:\\gvtarsis"_s, tree.path(u"prefix/dosdevices/m:/GvTarsis"_s)},
        {"unknown drive is missing", u"Q:\\Games"_s, tree.path(u"prefix/dosdevices/q:/Games"_s)},
    };
    for (const auto& [name, text, expected] : cases)
        EXPECT_EQ(resolvePath(text), expected) << name;
}
