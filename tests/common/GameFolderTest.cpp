#include "common/GameFolder.h"
#include "Fixtures.h"
#include "common/GameLaunch.h"
#include "common/LineFile.h"

using namespace gvt::common;

TEST(GameFolder, AGameInAWinePrefixIsFoundListedReadAndItsLauncherPlaced) {
    gvt::test::SettingsHome home;
    gvt::test::GameTree prefix(u"prefix"_s);
    gvt::test::EnvironmentScope inUse({{"WINEPREFIX", QFile::encodeName(prefix.gameFolder)}});
    prefix.addFile(u"system.reg"_s, "WINE REGISTRY Version 2\n\n[Software\\\\Wow6432Node\\\\"
                                    "Oxley Games\\\\Grimvale Tarsis] 1796494882\n"
                                    "\"GAMEDIR\"=\"C:\\\\Games\\\\Grimvale Tarsis\"\n");
    const QString game = u"drive_c/GAMES/grimvale tarsis/"_s;
    prefix.addFile(game + u"Mods/GvTarsis/settings/Profiles/Custom/Video.con"_s, "a\r\nb\r\n");
    prefix.addFolder(game + u"Mods/My Mod"_s);
    prefix.addFolder(u"dosdevices"_s);
    ASSERT_TRUE(QFile::link(u"../drive_c"_s, prefix.path(u"dosdevices/c:"_s)));

    const QString gameFolder = readGameFolder();
    EXPECT_EQ(gameFolder, u"C:\\Games\\Grimvale Tarsis"_s);
    EXPECT_EQ(listModFolders(gameFolder), (QStringList{u"GvTarsis"_s, u"My Mod"_s}));
    EXPECT_EQ(listProfileFolders(gameFolder), QStringList{u"Custom"_s});
    EXPECT_EQ(
        readLines(gameFolder + u"\\Mods\\GvTarsis\\settings\\Profiles\\Custom\\Video.con"_s, 1),
        Lines{"a"});
    const QList<QPair<QString, bool>> cases = {
        // the launcher's folder, whether it is placed in the game folder
        {prefix.path(game), true},
        {prefix.path(u"dosdevices/c:/GAMES/grimvale tarsis/"_s), true},
        {prefix.path(u"drive_c/GAMES"_s), false},
        {prefix.path(u"drive_c/GAMES/Grimvale Tarsis"_s), false},
    };
    for (const auto& [folder, placed] : cases) {
        gvt::test::TestPlatform platform(folder);
        EXPECT_EQ(isPlacedInGameFolder(platform.platform, gameFolder), placed)
            << folder.toStdString();
    }
    // A game folder of this machine compares as text.
    gvt::test::TestPlatform platform(prefix.path(game));
    EXPECT_FALSE(isPlacedInGameFolder(platform.platform, prefix.path(game + u"Mods/.."_s)));
}
