// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fixtures.h"
#include "app/MainWindow.h"
#include "app/RestoreDialog.h"
#include "common/CodePage.h"
#include "multiplayer/MultiplayerDialog.h"
#include "music/MusicDialog.h"
#include "platform/files/FileHistory.h"
#include "settings/SettingsDialog.h"
#include "ui/SortedList.h"
#include "ui_MultiplayerDialog.h"
#include "ui_MusicDialog.h"
#include "ui_RestoreDialog.h"
#include "ui_SettingsDialog.h"

#include <QDateTime>
#include <QDirIterator>
#include <QMenu>

#include <map>

using namespace gvt;
using gvt::test::crlf;

namespace {

const QString kProfile = u"Mods/GvTarsis/settings/Profiles/Custom/"_s;

QList<QByteArray> general(const QByteArray& name) {
    QList<QByteArray> lines = {"rem general", "rem", "game.setPlayerName \"" + name + "\""};
    for (int i = 4; i <= 27; ++i)
        lines.append("game.option " + QByteArray::number(i));
    return lines;
}

// Each file as a Save, a Host and the menu music Save write it when nothing was changed.
struct Player : test::Game {
    Player() {
        addFile(kProfile + u"GeneralOptions.con"_s, crlf(general("Rider")));
        addFile(kProfile + u"Video.con"_s,
                crlf("rem *** Generated ***||game.setGameDisplayMode 1024 768 32 0|"
                     "game.setDetailTexture 3|game.setShadows 1|game.setGraphicsQuality 5|"
                     "game.setLightmaps 0|game.setGeometryQuality 2|kept 9|10|11|12"));
        addFile(kProfile + u"Sound.con"_s,
                crlf("rem *** Generated ***||game.soundEnable 1|game.musicEnable 0|"
                     "game.ingameMusicEnable 1|game.proximitySoundEnable 0||game.masterVolume 80|"
                     "game.menuMusicVolume 60||game.channels 48|game.quality 2|"
                     "game.soundOcclusion 1|kept 14|15"));
        addFile(u"Mods/GvTarsis/settings/ServerSettings.con"_s, QByteArray(39, '\n'));
        addFile(u"Mods/GvTarsis/settings/maplist.con"_s, "game.addLevel Old\n");
        addFile(u"Mods/GvTarsis/Archives/GvTarsis/Levels/Brume.rfa"_s, "level");
        addFile(u"Mods/GvTarsis/Init.con"_s,
                crlf("1|2|3|4|Game.setMenuMusicFilename \"music/Theme\"|6|7|8|9|10"));
        for (const char* name : {"Mods/GvTarsis/Music/Theme.bik", "Mods/GvTarsis/Music/Night.bik",
                                 "Movies/Brume.bik", "Movies/Oxley.bik", "Movies/Intro.bik",
                                 "Movies/Legal.bik", "My Music/A.mp3", "My Music/B.bak"})
            addFile(QString::fromLatin1(name), "content of " + QByteArray(name));
    }

    // Every file of the game folder but the stub game's record, by its path in it.
    std::map<QString, QByteArray> files() const {
        std::map<QString, QByteArray> found;
        QDirIterator it(gameFolder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!path.contains(u"gvtarsis.exe"_s))
                found[path.mid(gameFolder.size() + 1)] = read(path.mid(gameFolder.size() + 1));
        }
        return found;
    }

    // One user action, as a word and what follows it.
    void act(const QString& step) {
        const QString word = step.section(u' ', 0, 0), rest = step.section(u' ', 1);
        if (word == u"save") {
            test::showActive(settings.open(nullptr));
            test::type(settings.window()->controls().nameEdit, rest);
            test::click(settings.window()->controls().saveButton);
        } else if (word == u"movies") {
            test::showActive(settings.open(nullptr));
            test::click(settings.window()->controls().disableMoviesCheck);
        } else if (word == u"host") {
            test::showActive(multiplayer.open(nullptr));
            Ui::MultiplayerDialogUi& f = multiplayer.window()->controls();
            test::type(f.serverNameEdit, rest);
            test::select(f.disabledList, u"Brume"_s);
            test::click(f.enableMapButton);
            test::click(f.startButton);
        } else if (word == u"music") {
            test::showActive(music.open(nullptr));
            test::choose(music.window()->controls().menuMusicCombo, rest);
            test::click(music.window()->controls().saveButton);
        } else if (word == u"moves") { // in one opening: "->" for a ".mp3", "<-" for a ".bak"
            test::showActive(music.open(nullptr));
            Ui::MusicDialogUi& f = music.window()->controls();
            for (const QString& name : rest.split(u' ')) {
                const bool enabled = name.endsWith(u".mp3"_s);
                test::select(enabled ? f.enabledList : f.disabledList, name);
                test::click(enabled ? f.disableButton : f.enableButton);
            }
        } else if (word == u"restore") { // "restore <row> [yes]"
            messages.answer = rest.endsWith(u"yes"_s);
            app::RestoreDialog dialog(platform.game, nullptr);
            test::showActive(dialog);
            QListWidget* list = dialog.controls().savesList;
            const int row = rest.section(u' ', 0, 0).toInt();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(row)).center());
            test::click(dialog.controls().restoreButton);
        } else { // another program writes "<path>|<content>"
            addFile(rest.section(u'|', 0, 0), rest.section(u'|', 1).toLatin1());
        }
    }

    // What the rows of "Restore Earlier Files" say after their times.
    QStringList rows() {
        app::RestoreDialog dialog(platform.game, nullptr);
        QStringList rows;
        for (const QString& row : ui::entriesOf(dialog.controls().savesList))
            rows.append(row.section(u" — "_s, 1));
        return rows;
    }

    settings::SettingsDialog settings{platform.game};
    multiplayer::MultiplayerDialog multiplayer{platform.platform, platform.game};
    music::MusicDialog music{platform.game};
};

struct Step {
    const char* action;
    int filesAsAfter; // the step whose files these must be (0: as at the start), or -1: new ones
    const char* told; // the end of the message or question, or ""
};

} // namespace

TEST(History, EveryActionCanBeUndoneByteForByteARestoreToo) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
        const char* rows; // the entries afterwards, newest first
    };
    const char* const changedSince =
        "GeneralOptions.con was changed by another program since. Restore it anyway?";
    const Case cases[] = {
        {"two Saves and a restore of the first",
         {{"save Alpha", -1, ""}, {"save Beta", -1, ""}, {"restore 1", 0, ""}},
         "Restored: Settings saved (profile Custom)|Settings saved (profile Custom)|"
         "Settings saved (profile Custom)"},
        {"a restore undone",
         {{"save Alpha", -1, ""}, {"restore 0", 0, ""}, {"restore 0", 1, ""}},
         "Restored: Restored: Settings saved (profile Custom)|"
         "Restored: Settings saved (profile Custom)|Settings saved (profile Custom)"},
        {"Host then a restore",
         {{"host Walkers", -1, ""}, {"restore 0", 0, ""}},
         "Restored: Server hosted|Server hosted"},
        {"the movies and the menu music, undone newest first",
         {{"music Night.bik", -1, ""},
          {"movies", -1, ""},
          {"restore 0", 1, ""},
          {"restore 2", 0, ""}},
         "Restored: Menu music saved|Restored: Intro movies switched off|"
         "Intro movies switched off|Menu music saved"},
        {"MP3 moves of one opening are one entry, undone and done again",
         {{"moves A.mp3 B.bak", -1, ""}, {"restore 0", 0, ""}, {"restore 0", 1, ""}},
         "Restored: Restored: 2 MP3 files moved|Restored: 2 MP3 files moved|2 MP3 files moved"},
        {"MP3 moves of two openings are two entries",
         {{"moves A.mp3", -1, ""}, {"moves B.bak", -1, ""}, {"restore 1", -1, ""}},
         "Restored: 1 MP3 file moved|1 MP3 file moved|1 MP3 file moved"},
        {"a file changed since: No restores nothing, Yes restores",
         {{"save Alpha", -1, ""},
          {"write Mods/GvTarsis/settings/Profiles/Custom/GeneralOptions.con|by hand", -1, ""},
          {"restore 0", 2, changedSince},
          {"restore 0 yes", 0, changedSince}},
         "Restored: Settings saved (profile Custom)|Settings saved (profile Custom)"},
        {"a rename back onto a name taken is refused, and nothing is restored",
         {{"moves A.mp3 B.bak", -1, ""},
          {"write My Music/a.MP3|another", -1, ""},
          {"restore 0", 2, "/My Music/A.mp3\" already exists."}},
         "2 MP3 files moved"},
        {"a Save that changes nothing leaves no entry", {{"save Rider", 0, ""}}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Player player;
        std::vector<std::map<QString, QByteArray>> after{player.files()};
        for (const Step& step : c.steps) {
            SCOPED_TRACE(step.action);
            player.messages.texts.clear();
            player.messages.questions.clear();
            player.act(QString::fromLatin1(step.action));
            after.push_back(player.files());
            if (step.filesAsAfter >= 0)
                EXPECT_EQ(after.back(), after[size_t(step.filesAsAfter)]);
            else
                EXPECT_NE(after.back(), after[after.size() - 2]);
            const QStringList told = player.messages.texts + player.messages.questions;
            EXPECT_EQ(told.size(), *step.told ? 1 : 0) << told.join(u'\n').toStdString();
            if (*step.told) {
                EXPECT_TRUE(told.value(0).endsWith(QString::fromLatin1(step.told)))
                    << told.value(0).toStdString();
            }
        }
        EXPECT_EQ(player.rows(), *c.rows ? QString::fromUtf8(c.rows).split(u'|') : QStringList());
    }
}

TEST(History, KeepsTheLastFiftyAndAtMost64MiBTheNewestWhateverItsSize) {
    // Fifty-one menu music saves: the first goes; the oldest kept is the second.
    Player player;
    for (int i = 0; i < 51; ++i)
        player.act(i % 2 ? u"music Theme.bik"_s : u"music Night.bik"_s);
    EXPECT_EQ(player.rows().size(), 50);
    player.act(u"restore 49"_s); // back as the first save left it
    EXPECT_EQ(player.read(u"Mods/GvTarsis/Init.con"_s),
              crlf("1|2|3|4|Game.setMenuMusicFilename \"music/Night\"|6|7|8|9|10"));

    // Profiles with a large tail, saved under other names: each save keeps two contents of its
    // size, one of them shared with the save before.
    const std::array<std::array<int, 3>, 2> sizes = {{
        // MiB of the file, Saves, entries kept
        {20, 4, 2}, // 40 MiB, 60 MiB: a third would make 80
        {34, 1, 1}, // 68 MiB: the newest alone is more than the limit, and stays
    }};
    for (const auto& [mib, saves, kept] : sizes) {
        SCOPED_TRACE(mib);
        Player big;
        const QByteArray tail(qsizetype(mib) * 1024 * 1024, 'x');
        big.addFile(kProfile + u"GeneralOptions.con"_s, crlf(general("Rider")) + tail);
        for (int i = 0; i < saves; ++i)
            big.act(u"save Rider "_s + QString::number(i));
        EXPECT_EQ(big.rows().size(), kept);
        // What is kept is all there is: the journal holds the kept contents and little else.
        QDirIterator journal(big.home.path(u".local/state/gvtarsis-modmanager/history"_s),
                             {u"journal"_s}, QDir::Files, QDirIterator::Subdirectories);
        ASSERT_TRUE(journal.hasNext());
        EXPECT_LT(QFileInfo(journal.next()).size(), (kept + 1) * tail.size() + 1024 * 1024);
        // The oldest kept is undone to the content it had.
        big.act(u"restore "_s + QString::number(kept - 1));
        const int before = saves - kept - 1; // the save whose content it gets back
        EXPECT_EQ(big.read(kProfile + u"GeneralOptions.con"_s),
                  crlf(general(before < 0 ? "Rider" : "Rider " + QByteArray::number(before))) +
                      tail);
    }
}

TEST(History, TheDialogShowsEachSaveWithItsTimeAndItsChangedLinesReadInTheGamesCodePage) {
    common::useGameCodePage(1250);
    Player player;
    const QString start = QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH:mm"_s);
    player.act(u"save Łukasz"_s);
    player.act(u"movies"_s);
    const QString end = QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH:mm"_s);

    // The window's Options menu leads there, after the editors and a line.
    app::MainWindow window(player.platform.platform, player.platform.findGame());
    QStringList items;
    for (const QAction* action : window.optionsMenu()->actions())
        items.append(action->isSeparator() ? u"—"_s : action->text());
    EXPECT_EQ(items, (QStringList{u"Change &MP3's"_s, u"Change &Settings"_s, u"Multiplayer"_s,
                                  u"—"_s, u"&Restore Earlier Files..."_s}));

    app::RestoreDialog dialog(player.platform.game, &window);
    test::showActive(dialog);
    Ui::RestoreDialogUi& f = dialog.controls();
    const QStringList rows = ui::entriesOf(f.savesList);
    ASSERT_EQ(rows.size(), 2);
    for (const auto& [row, what] : {std::pair{0, u"Intro movies switched off"_s},
                                    std::pair{1, u"Settings saved (profile Custom)"_s}}) {
        EXPECT_TRUE(rows[row] == start + u" — "_s + what || rows[row] == end + u" — "_s + what)
            << rows[row].toStdString();
    }
    EXPECT_EQ(f.changesText->toPlainText(),
              u"Movies/Brume.bik → Movies/Brume.bak\nMovies/Oxley.bik → Movies/Oxley.bak\n"
              "Movies/Intro.bik → Movies/Intro.bak\nMovies/Legal.bik → Movies/Legal.bak"_s);
    QTest::keyClick(f.savesList, Qt::Key_Down);
    EXPECT_EQ(f.changesText->toPlainText(),
              u"Mods/GvTarsis/settings/Profiles/Custom/GeneralOptions.con\n"
              "@@ -1,6 +1,6 @@\n rem general\n rem\n-game.setPlayerName \"Rider\"\n"
              "+game.setPlayerName \"Łukasz\"\n game.option 4\n game.option 5\n game.option 6"_s);
    test::checkReadersAndKeyboard(&dialog);
    common::useGameCodePage(1252);

    // Nothing saved yet: nothing to show, nothing to restore.
    Player fresh;
    app::RestoreDialog empty(fresh.platform.game, nullptr);
    EXPECT_EQ(empty.controls().savesList->count(), 0);
    EXPECT_FALSE(empty.controls().restoreButton->isEnabled());
}
