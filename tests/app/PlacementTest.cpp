// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Placement.h"
#include "Fixtures.h"
#include "app/DesktopEntryId.h"
#include "common/GameFolder.h"
#include "common/GameLaunch.h"

#include <QProcess>

using namespace gvt;

TEST(Placement, AnInstalledLauncherPlacesItselfInTheGameItIsToldOrHasFound) {
    struct Row {
        const char* what;
        int games;                       // in $WINEPREFIX, then in ~/.wine
        const char* inTheWay;            // in the first game folder: "", "file", "link" (to it)
        std::optional<qsizetype> answer; // the game chosen, or "don't place it"
        int linkedIn;                    // the game it goes on in, or -1
        int asked;                       // with how many games, or 0
    };
    const Row rows[] = {
        {"one game", 1, "", 0, 0, 1},
        {"two games, the second chosen", 2, "", 1, 1, 2},
        {"no game", 0, "", 0, -1, 0},
        {"declined", 1, "", std::nullopt, -1, 1},
        {"a launcher there already", 1, "file", 0, -1, 0},
        {"placed at an earlier start", 2, "link", std::nullopt, 0, 0},
    };
    const QString current = QDir::currentPath();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        test::SettingsHome home;
        const QString games[] = {u"prefix"_s, u".wine"_s};
        for (int i = 0; i < row.games; ++i)
            home.addPrefix(games[i], "Games\\GT");
        const auto folder = [&](int i) { return home.path(games[i] + u"/drive_c/Games/GT"_s); };
        home.addFile(u"usr/bin/gvtarsis-modmanager"_s, "the installed program");
        const QString program = home.path(u"usr/bin/gvtarsis-modmanager"_s);
        const QString link = folder(0) + u"/gvtarsis-modmanager"_s;
        if (*row.inTheWay == 'f')
            home.addFile(games[0] + u"/drive_c/Games/GT/gvtarsis-modmanager"_s, "not ours");
        if (*row.inTheWay == 'l')
            QFile::link(program, link);
        test::TestPlatform platform(home.path(u"usr/bin"_s));
        test::MessageCapture messages;
        int asked = 0;
        const auto place = [&] {
            app::placeLauncher(
                platform.platform, platform::UserPlaces::ofThisUser(),
                [&](const QList<platform::InstalledGame>& found) {
                    asked = int(found.size());
                    return row.answer;
                },
                nullptr);
        };
        place();
        EXPECT_EQ(asked, row.asked);
        // Asked once: the next start from the menu goes on without a question.
        asked = 0;
        platform.program = program;
        place();
        EXPECT_EQ(asked, 0);
        const QString expected =
            row.linkedIn < 0 ? program : folder(row.linkedIn) + u"/gvtarsis-modmanager"_s;
        EXPECT_EQ(platform.program, expected);
        EXPECT_EQ(QFileInfo(expected).symLinkTarget(), row.linkedIn < 0 ? QString() : program);
        EXPECT_EQ(QDir::currentPath(), row.linkedIn < 0 ? current : folder(row.linkedIn));
        // Nothing is ever replaced.
        QFile inTheWay(link);
        EXPECT_TRUE(*row.inTheWay != 'f' ||
                    (inTheWay.open(QIODevice::ReadOnly) && inTheWay.readAll() == "not ours"));
        EXPECT_EQ(messages.texts, QStringList());
        QDir::setCurrent(current);
    }
    // A game the settings file names, spelled as the user wrote it: the link goes there, so that
    // the launcher's folder is spelled the same, and Start finds it placed.
    test::SettingsHome home;
    home.addFile(u"Native/GT/Mods/GvTarsis/Init.con"_s, {});
    home.setGameDirLine("GAMEDIR=" + QFile::encodeName(home.path(u"Native//GT/"_s)));
    home.addFile(u"usr/bin/gvtarsis-modmanager"_s, "the installed program");
    test::TestPlatform platform(home.path(u"usr/bin"_s));
    const platform::GameInstall game = app::placeLauncher(
        platform.platform, platform::UserPlaces::ofThisUser(),
        [](const auto&) { return qsizetype(0); }, nullptr);
    EXPECT_EQ(platform.program, home.path(u"Native//GT//gvtarsis-modmanager"_s));
    EXPECT_TRUE(common::isPlacedInGameFolder(platform.platform, game, game.gameFolder));
    QDir::setCurrent(current);
}

TEST(Placement, StartedFromItsGamesMenuEntryTheWindowCarriesThatEntrysId) {
    // The install script's menu entry for a game folder whose path holds blanks, "$" and "%".
    test::SettingsHome home;
    const QString game = home.path(u"Games/gt [patch=1.1] $1 50%/Grimvale Tarsis"_s);
    QDir().mkpath(game);
    QFile::link(home.path(u"Games"_s), home.path(u"Linked"_s));
    test::EnvironmentScope build{{{"GVT_BUILD_DIR", GVT_BUILD_DIR}}};
    const QString install = QStringLiteral(GVT_SOURCE_DIR "/scripts/install.sh");
    ASSERT_EQ(QProcess::execute(install, {game}), 0);
    const QString applications = home.path(u".local/share/applications"_s);
    const QStringList entries = QDir(applications).entryList({u"*.desktop"_s});
    ASSERT_EQ(entries.size(), 1);
    const QString entryId = QFileInfo(entries[0]).completeBaseName();
    const QString programId = u"org.gvtarsis.ModManager"_s;
    for (const auto& [what, program, id] :
         {std::tuple{"from its entry", game + u"/gvtarsis-modmanager"_s, entryId},
          {"through a link to a folder above it",
           home.path(u"Linked/gt [patch=1.1] $1 50%/Grimvale Tarsis/gvtarsis-modmanager"_s),
           entryId},
          {"from another folder", home.path(u"usr/games/gvtarsis-modmanager"_s), programId}}) {
        SCOPED_TRACE(what);
        EXPECT_EQ(app::desktopEntryIdOf(program, applications), id);
    }
    ASSERT_EQ(QProcess::execute(install, {u"--uninstall"_s}), 0);
    EXPECT_EQ(app::desktopEntryIdOf(game + u"/gvtarsis-modmanager"_s, applications), programId);
}
