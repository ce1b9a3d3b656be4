// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/GameFolder.h"
#include "Fixtures.h"
#include "common/GameLaunch.h"
#include "platform/files/FileName.h"

using namespace gvt::common;

TEST(GameFolder, AGameInAWinePrefixIsFoundThroughItsDrivesAndItsLauncherPlaced) {
    gvt::test::SettingsHome home;
    gvt::test::GameTree prefix(u"prefix"_s);
    gvt::test::EnvironmentScope inUse({{"WINEPREFIX", QFile::encodeName(prefix.gameFolder)}});
    prefix.addFile(u"system.reg"_s,
                   "WINE REGISTRY Version 2\n\n[Software\\\\Wow6432Node\\\\Oxley Games\\\\"
                   "Grimvale Tarsis] 1\n\"GAMEDIR\"=\"C:\\\\Games\\\\Grimvale Tarsis\"\n");
    const QString game = prefix.path(u"drive_c/GAMES/grimvale tarsis/"_s);
    for (const char* folder :
         {"Mods/GvTarsis/Settings/Profiles/Custom", "Mods/My Mod", "T/abc", "T/ABC", "T/Abc"})
        prefix.addFolder(u"drive_c/GAMES/grimvale tarsis/"_s + QString::fromLatin1(folder));
    prefix.addFolder(u"dosdevices"_s);
    QFile::link(u"../drive_c"_s, prefix.path(u"dosdevices/c:"_s));
    QFile::link(game + u"Mods"_s, prefix.path(u"dosdevices/m:"_s));
    QFile::link(game + u"Mods"_s, prefix.path(u"drive_c/GAMES/Link"_s));
    prefix.addFolder(u"dosdevices/unc/server/Share/GT"_s);

    const gvt::platform::GameInstall install = gvt::test::TestPlatform(game).findGame();
    const QString gameFolder = install.gameFolder;
    EXPECT_EQ(gameFolder, u"C:\\Games\\Grimvale Tarsis"_s);
    EXPECT_EQ(install.readGameFolder(), gameFolder);
    EXPECT_EQ(listModFolders(install, gameFolder), gvt::test::names("GvTarsis|My Mod"));
    EXPECT_EQ(listProfileFolders(install, gameFolder), gvt::test::names("Custom"));
    // Each component is found without regard to case: an exact match first, else the ordinally
    // first; what is missing keeps its spelling, an unknown drive too.
    const QString c = prefix.path(u"dosdevices/c:/GAMES/grimvale tarsis/"_s);
    const QList<QPair<QString, QString>> paths = {
        {gameFolder + u"\\T\\Abc"_s, c + u"T/Abc"_s},
        {gameFolder + u"/t\\aBc\\x"_s, c + u"T/ABC/x"_s},
        {u"m:\\gvtarsis\\settings"_s, prefix.path(u"dosdevices/m:/GvTarsis/Settings"_s)},
        {u"Q:\\Games"_s, prefix.path(u"dosdevices/q:/Games"_s)},
        // "." and ".." go in the text first, never above the root; a link is not followed back.
        {u"C:\\Games\\Missing\\..\\Grimvale Tarsis\\.\\T"_s, c + u"T"_s},
        {u"C:\\Games\\Link\\..\\grimvale tarsis"_s, c.chopped(1)},
        {u"C:\\..\\..\\games"_s, prefix.path(u"dosdevices/c:/GAMES"_s)},
        {u"\\\\SERVER\\share\\..\\..\\gt\\x"_s, prefix.path(u"dosdevices/unc/server/Share/GT/x"_s)},
        // Without a game folder, "\\Mods" names the root of a drive the launcher does not have.
        {u"\\Mods\\GvTarsis"_s, QString()}};
    for (const auto& [text, path] : paths)
        EXPECT_EQ(gvt::platform::textOfFileName(install.resolve(text)), path);
    // A game folder of this machine compares as text: another spelling is another folder.
    const QString native = game.chopped(1);
    const QList<std::tuple<QString, QString, bool>> placements = {
        // the game folder, the launcher's folder, whether it is placed in the game folder
        {native, native, true},
        {native + u'/', native, false},
        {native + u'\\', native, false},
        {native, native.toUpper(), false},
        {native + u"/Mods/.."_s, native, false},
        {gameFolder, game, true},
        {gameFolder, prefix.path(u"dosdevices/c:/GAMES/grimvale tarsis"_s), true},
        {gameFolder, prefix.path(u"drive_c/GAMES"_s), false},
        {u"\\\\server\\share\\gt"_s, prefix.path(u"dosdevices/unc/server/Share/GT"_s), true}};
    for (const auto& [text, folder, placed] : placements) {
        gvt::test::TestPlatform platform(folder);
        EXPECT_EQ(isPlacedInGameFolder(platform.platform, install, text), placed)
            << text.toStdString() << " " << folder.toStdString();
    }
}
