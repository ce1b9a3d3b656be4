// SPDX-License-Identifier: GPL-3.0-or-later
#include "music/MusicDialog.h"
#include "Fixtures.h"
#include "platform/files/FileName.h"
#include "ui/SortedList.h"
#include "ui_MusicDialog.h"

#include <array>

using namespace gvt;
using gvt::test::crlf;

namespace {

const QString kInit = u"Mods/GvTarsis/Init.con"_s;

QList<QByteArray> initLines(const QByteArray& line5) {
    QList<QByteArray> lines;
    for (int i = 1; i <= 10; ++i)
        lines.append(i == 5 ? line5 : "rem line " + QByteArray::number(i));
    return lines;
}

// My Music holds these files ("/" ends a folder), each file its own name as its content.
struct Music : test::Game {
    explicit Music(const char* myMusic = "") {
        addFolder(u"My Music"_s);
        for (const QString& name : test::names(myMusic)) {
            if (name.endsWith(u'/'))
                addFolder(u"My Music/"_s + name);
            else if (!name.isEmpty())
                addFile(u"My Music/"_s + name, platform::fileNameOfText(name));
        }
        for (const char* bik : {"Theme.bik", "night.BIK", "Battle.bik"})
            addFile(u"Mods/GvTarsis/Music/"_s + QString::fromLatin1(bik));
        addFile(kInit, crlf(initLines("Game.setMenuMusicFilename \"music/Theme\"")));
    }
    Ui::MusicDialogUi& open() {
        music::MusicWindow& window = dialog.open(nullptr);
        test::showActive(window);
        return window.controls();
    }
    // The counters, lists (selected entries in brackets) and buttons, as a user reads them.
    static QString state(Ui::MusicDialogUi& f) {
        const auto list = [](QListWidget* l) {
            QStringList out;
            for (int i = 0; i < l->count(); ++i)
                out.append(l->item(i)->isSelected() ? u'[' + l->item(i)->text() + u']'
                                                    : l->item(i)->text());
            return out.join(u',');
        };
        return f.enabledCount->text() + u' ' + list(f.enabledList) +
               (f.disableButton->isEnabled() ? u" -> "_s : u" .. "_s) +
               (f.enableButton->isEnabled() ? u"<- "_s : u".. "_s) + list(f.disabledList) + u' ' +
               f.disabledCount->text();
    }

    music::MusicDialog dialog{platform.game};
};

} // namespace

TEST(MusicDialog, MovesRenameExactlyTheChosenEntryAndNeverReplaceOne) {
    // The files ("/" ends a folder), the entry moved ("->" disables, "<-" enables), the files
    // afterwards, the dialog's state, the end of the message; names may hold stray bytes.
    const std::array<const char*, 5> cases[] = {
        {"Track.MP3|notes.txt|a.Mp3", "->Track.MP3", "Track.bak|a.Mp3|notes.txt",
         "1 [a.Mp3] -> <- Track.bak 1", ""},
        {"Road.bak|road.BAK|A.mp3", "<-road.BAK", "A.mp3|Road.bak|road.mp3",
         "2 [A.mp3],road.mp3 -> <- [Road.bak] 1", ""},
        {"Bad\xff.mp3", "->Bad\\xff.mp3", "Bad\xff.bak", "0  .. <- Bad\\xff.bak 1", ""},
        {"Extra.mp3/", "->Extra.mp3", "Extra.bak", "0  .. <- Extra.bak 1", ""},
        {"B.mp3|b.BAK", "->B.mp3", "B.mp3|b.BAK", "1 [B.mp3] -> <- [b.BAK],B.bak 1",
         "B.bak\" already exists."},
    };
    for (const auto& [files, move, after, state, message] : cases) {
        Music m(files);
        Ui::MusicDialogUi& f = m.open();
        const bool disable = move[0] == '-';
        test::select(disable ? f.enabledList : f.disabledList, QString::fromLatin1(move + 2));
        test::click(disable ? f.disableButton : f.enableButton);
        EXPECT_EQ(m.namesIn(u"My Music"_s), test::names(after)) << move;
        EXPECT_EQ(Music::state(f), QString::fromLatin1(state));
        EXPECT_EQ(m.messages.texts.size(), *message ? 1 : 0) << move;
        EXPECT_EQ(m.messages.texts.value(0).right(qsizetype(qstrlen(message))),
                  QString::fromLatin1(message));
    }
    Music m("Song.mp3|song.MP3"); // each file keeps its own content
    Ui::MusicDialogUi& f = m.open();
    test::select(f.enabledList, u"song.MP3"_s);
    test::click(f.disableButton);
    EXPECT_EQ(Music::state(f), u"1 [Song.mp3] -> <- song.bak 1"_s);
    EXPECT_EQ(m.read(u"My Music/song.bak"_s), QByteArray("song.MP3"));
    m.addFile(u"My Music/SONG.BAK"_s); // another program's, after the opening
    test::click(f.disableButton);
    EXPECT_EQ(m.namesIn(u"My Music"_s), test::names("SONG.BAK|Song.mp3|song.bak"));
    EXPECT_TRUE(m.messages.texts.value(0).endsWith(u"Song.bak\" already exists."_s));

    // "My Music", a link, pointed at another folder while the dialog is open: that one is read.
    Music linked;
    for (const char* file : {"First/Song.mp3", "Other/Song.mp3", "Other/SONG.BAK"})
        linked.addFile(QString::fromLatin1(file));
    QDir(linked.path(u"My Music"_s)).removeRecursively();
    QFile::link(linked.path(u"First"_s), linked.path(u"My Music"_s));
    Ui::MusicDialogUi& g = linked.open();
    QFile::remove(linked.path(u"My Music"_s));
    QFile::link(linked.path(u"Other"_s), linked.path(u"My Music"_s));
    test::click(g.disableButton);
    EXPECT_EQ(linked.namesIn(u"Other"_s), test::names("SONG.BAK|Song.mp3"));
    EXPECT_TRUE(linked.messages.texts.value(0).endsWith(u"Song.bak\" already exists."_s));
}

TEST(MusicDialog, ShowsTheMenuMusicOfLineFiveAndSavesItBack) {
    const std::array<const char*, 4> cases[] = {
        // line 5 after its key text; shown; chosen; line 5 after two Saves, after its key text
        {"\"music/Theme\"", "Theme.bik", "", "\"music/Theme\""},
        {"", ".bik", "", "\"music/\""},
        {"\"music/Theme.bik\"", "Theme.bik.bik", "", "\"music/Theme.bik\""},
        {"\"yyyyyyNight \"x\"", "Night x.bik", "night.BIK", "\"music/night\""},
    };
    const QByteArray key = "Game.setMenuMusicFilename ";
    for (const auto& [line5, shown, chosen, saved] : cases) {
        Music m;
        m.addFile(kInit, crlf(initLines(*line5 ? key + line5 : "")) + "run more\n");
        Ui::MusicDialogUi& f = m.open();
        EXPECT_EQ(f.menuMusicCombo->currentText(), QString::fromLatin1(shown));
        EXPECT_EQ(ui::entriesOf(f.menuMusicCombo), test::names("Battle.bik|night.BIK|Theme.bik"));
        if (*chosen)
            test::choose(f.menuMusicCombo, QString::fromLatin1(chosen));
        // Typing a name, even one the list completes, chooses nothing.
        f.menuMusicCombo->lineEdit()->selectAll();
        QTest::keyClicks(f.menuMusicCombo, u"Bat"_s);
        QTest::keyClick(f.menuMusicCombo, Qt::Key_Tab);
        test::click(f.saveButton);
        test::click(f.saveButton);
        EXPECT_EQ(m.read(kInit), crlf(initLines(key + saved)) + "run more\n");
    }
    Music m; // a four-line Init.con gains the menu music line and five empty lines
    m.addFile(kInit, "1\n2\n3\n4");
    test::click(m.open().saveButton);
    EXPECT_EQ(m.read(kInit), crlf("1|2|3|4|Game.setMenuMusicFilename \"music/\"|||||"));
    EXPECT_TRUE(m.messages.texts.isEmpty());
}

TEST(MusicDialog, UnreadableOrWriteProtectedInitCon) {
    Music m("A.mp3");
    Ui::MusicDialogUi& f = m.open();
    m.setMode(kInit, 0444);
    test::click(f.saveButton);
    EXPECT_EQ(m.messages.texts,
              QStringList{u"The file \"Init.con\" is missing or write protected"_s});
    EXPECT_FALSE(f.menuMusicCombo->isEnabled());
    EXPECT_EQ(m.read(kInit), crlf(initLines("Game.setMenuMusicFilename \"music/Theme\"")));
    // Read at one opening, missing at the next: Save then writes nothing.
    m.dialog.window()->reject();
    m.messages.texts.clear();
    QFile::remove(m.path(kInit));
    Ui::MusicDialogUi& g = m.open();
    EXPECT_EQ(m.messages.texts, QStringList{u"The file \"Init.con\" is missing or corrupt"_s});
    EXPECT_EQ(g.menuMusicCombo->currentText() + u'|' + Music::state(g), u"|1 [A.mp3] -> ..  0"_s);
    m.addFile(kInit, "created meanwhile\r\n");
    test::click(g.saveButton);
    EXPECT_EQ(m.read(kInit), QByteArray("created meanwhile\r\n"));
}

TEST(MusicDialog, ALinkedInitConIsSavedThroughOnlyToAFileOfItsOwnName) {
    // A mod's Init.con that leads out to a file of the user's is refused, that file untouched;
    // one in a folder kept in a sync folder, or a link to an Init.con there, is saved through.
    const QByteArray theirs = "export PATH=$HOME/bin:$PATH\n";
    const QList<std::tuple<const char*, const char*, bool>> rows = {
        // where the link leads (below the home), what is linked, saved through
        {"dot-files/.bashrc", "Mods/GvTarsis/Init.con", false},
        {"Sync/INIT.CON", "Mods/GvTarsis/Init.con", true},
        {"Sync/GvTarsis", "Mods/GvTarsis", true},
    };
    for (const auto& [target, linked, through] : rows) {
        SCOPED_TRACE(target);
        Music m;
        const QString outside = m.home.path(QString::fromLatin1(target));
        const bool folder = QString::fromLatin1(linked) == u"Mods/GvTarsis"_s;
        if (folder) {
            QDir().mkpath(m.home.path(u"Sync"_s));
            ASSERT_TRUE(QDir().rename(m.path(u"Mods/GvTarsis"_s), outside));
        } else {
            test::writeFile(outside, through ? m.read(kInit) : theirs);
            QFile::remove(m.path(kInit));
        }
        ASSERT_TRUE(QFile::link(outside, m.path(QString::fromLatin1(linked))));
        Ui::MusicDialogUi& f = m.open();
        test::choose(f.menuMusicCombo, u"Battle.bik"_s);
        test::click(f.saveButton);
        const QString file = folder ? outside + u"/Init.con"_s : outside;
        QFile saved(file);
        saved.open(QIODevice::ReadOnly);
        if (through) {
            EXPECT_EQ(saved.readAll(),
                      crlf(initLines("Game.setMenuMusicFilename \"music/Battle\"")));
            EXPECT_EQ(m.messages.texts, QStringList());
        } else {
            EXPECT_EQ(saved.readAll(), theirs);
            EXPECT_EQ(m.messages.texts,
                      QStringList{u"The file \"Init.con\" is missing or write protected: it is a "
                                  "link to a file of another name, outside the game, which is left "
                                  "as it is"_s});
            EXPECT_EQ(QDir(m.home.path(u".local/state/gvtarsis-modmanager/recovery"_s))
                          .entryList(QDir::Files | QDir::Hidden),
                      QStringList());
        }
    }
}
