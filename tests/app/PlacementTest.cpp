// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Placement.h"
#include "Fixtures.h"
#include "app/DesktopEntryId.h"
#include "common/GameFolder.h"
#include "common/GameLaunch.h"

#include <QProcess>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace gvt;

namespace {

// While it lives, this thread writes as a user does: an administrator's right to write into any
// folder is put aside (and taken up again after), so that a write-protected folder refuses.
struct WithoutOverride {
    WithoutOverride() {
        ::syscall(SYS_capget, &header, saved);
        __user_cap_data_struct lowered[2] = {saved[0], saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ::syscall(SYS_capset, &header, lowered);
    }
    ~WithoutOverride() { ::syscall(SYS_capset, &header, saved); }
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2] = {};
};

} // namespace

TEST(Placement, AnInstalledLauncherPlacesItselfInTheGameItIsToldOrHasFound) {
    using Answer = app::PlacementAnswer;
    const Answer first{Answer::Kind::Place, 0}, dontPlace{Answer::Kind::DontPlace, -1},
        notNow{Answer::Kind::NotNow, -1};
    struct Row {
        const char* what;
        int games;        // in $WINEPREFIX, then in ~/.wine
        const char* game; // the first game folder: "", "file" (one there), "link" (to it),
                          // "made" (by another launcher as it asks), "read-only"
        Answer answer;
        int linkedIn;        // the game it goes on in, or -1
        int asked, again;    // with how many games, at this start and the next
        const char* message; // what it was told, its part
    };
    const Row rows[] = {
        {"one game", 1, "", first, 0, 1, 0, ""},
        {"two games, the second chosen", 2, "", {Answer::Kind::Place, 1}, 1, 2, 0, ""},
        {"no game", 0, "", first, -1, 0, 0, ""},
        {"declined", 1, "", dontPlace, -1, 1, 0, ""},
        {"closed without an answer: asked again", 2, "", notNow, -1, 2, 2, ""},
        {"a launcher there already", 1, "file", first, -1, 0, 0, ""},
        {"placed at an earlier start", 2, "link", dontPlace, 0, 0, 0, ""},
        {"the link another launcher just made", 1, "made", first, 0, 1, 0, ""},
        {"a write-protected game folder: told once, how to place it by hand", 1, "read-only", first,
         -1, 1, 0,
         "could not be placed in \"%1\": the folder is write-protected.\n\nIt does not ask "
         "again for this folder. To place it by hand, make the link in a terminal:\nln -s \"%2\" "
         "\"%1/\""},
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
        const QByteArray game = row.game;
        if (game == "file")
            home.addFile(games[0] + u"/drive_c/Games/GT/gvtarsis-modmanager"_s, "not ours");
        if (game == "link")
            QFile::link(program, link);
        if (game == "read-only")
            ::chmod(QFile::encodeName(folder(0)).constData(), 0555);
        test::TestPlatform platform(home.path(u"usr/bin"_s));
        test::MessageCapture messages;
        int asked = 0;
        const auto place = [&] {
            WithoutOverride asAUser;
            app::placeLauncher(
                platform.platform, platform::UserPlaces::ofThisUser(),
                [&](const QList<platform::InstalledGame>& found) {
                    asked = int(found.size());
                    if (game == "made")
                        QFile::link(program, link);
                    return row.answer;
                },
                nullptr);
        };
        place();
        EXPECT_EQ(asked, row.asked);
        const QString told =
            *row.message ? QString::fromUtf8(row.message).arg(folder(0), program) : QString();
        EXPECT_EQ(messages.texts.size(), *row.message ? 1 : 0);
        EXPECT_TRUE(messages.texts.value(0).endsWith(told))
            << messages.texts.value(0).toStdString();
        // The next start from the menu asks only where this one had no answer.
        asked = 0;
        platform.program = program;
        place();
        EXPECT_EQ(asked, row.again);
        EXPECT_EQ(messages.texts.size(), *row.message ? 1 : 0);
        const QString expected =
            row.linkedIn < 0 ? program : folder(row.linkedIn) + u"/gvtarsis-modmanager"_s;
        EXPECT_EQ(platform.program, expected);
        EXPECT_EQ(QFileInfo(expected).symLinkTarget(), row.linkedIn < 0 ? QString() : program);
        EXPECT_EQ(QDir::currentPath(), row.linkedIn < 0 ? current : folder(row.linkedIn));
        // Nothing is ever replaced.
        QFile inTheWay(link);
        EXPECT_TRUE(game != "file" ||
                    (inTheWay.open(QIODevice::ReadOnly) && inTheWay.readAll() == "not ours"));
        ::chmod(QFile::encodeName(folder(0)).constData(), 0755);
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
        [](const auto&) {
            return app::PlacementAnswer{app::PlacementAnswer::Kind::Place, 0};
        },
        nullptr);
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
