#include "music/MusicDialog.h"
#include "GameTree.h"
#include "Input.h"
#include "MessageCapture.h"
#include "SettingsHome.h"
#include "ui/SortedList.h"
#include "ui_MusicDialog.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace gvt;
using gvt::test::crlf;
using gvt::test::GameTree;

namespace {

const QString kInit = u"Mods/GvTarsis/Init.con"_s;

QList<QByteArray> initLines(const QByteArray& line5, int count = 10) {
    QList<QByteArray> lines;
    for (int i = 1; i <= count; ++i)
        lines.append(i == 5 ? line5 : "rem line " + QByteArray::number(i));
    return lines;
}

struct Music {
    explicit Music(const QStringList& myMusic = {}) {
        tree.addFolder(u"My Music"_s);
        for (const QString& name : myMusic)
            tree.addFile(u"My Music/"_s + name, name.toUtf8());
        for (const char* bik : {"Theme.bik", "night.BIK", "Battle.bik"})
            tree.addFile(u"Mods/GvTarsis/Music/"_s + QString::fromLatin1(bik));
        tree.addFile(kInit, crlf(initLines("Game.setMenuMusicFilename \"music/Theme\"")));
        home.setGameDir(tree.gameFolder());
    }
    Ui::MusicDialogUi& open() {
        music::MusicWindow& window = dialog.open(nullptr);
        test::showActive(window);
        return window.controls();
    }
    // The lists, counters and buttons as one line a user could read off the dialog.
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

    GameTree tree;
    test::SettingsHome home;
    test::MessageCapture messages;
    music::MusicDialog dialog;
};

} // namespace

TEST(MusicDialog, OpensWithListsCountersSelectionsAndButtons) {
    struct Case {
        const char* name;
        QStringList files;
        QString state;
    };
    const QList<Case> cases = {
        {"empty folder", {}, u"0  .. ..  0"_s},
        {"one enabled file", {u"A.mp3"_s}, u"1 [A.mp3] -> ..  0"_s},
        {"mixed-case extensions and files that are not MP3s",
         {u"b.MP3"_s, u"a.Mp3"_s, u"C.bak"_s, u"notes.txt"_s, u"d.BAK"_s},
         u"2 [a.Mp3],b.MP3 -> <- [C.bak],d.BAK 2"_s},
    };
    for (const Case& c : cases) {
        Music m(c.files);
        Ui::MusicDialogUi& f = m.open();
        EXPECT_EQ(Music::state(f), c.state) << c.name;
        EXPECT_EQ(m.dialog.window()->windowTitle(), u"Change Music"_s);
    }
    // A folder named like an MP3 is listed, and moves like a file.
    Music m({u"Track.mp3"_s});
    m.tree.addFolder(u"My Music/Extra.mp3"_s);
    Ui::MusicDialogUi& f = m.open();
    EXPECT_EQ(Music::state(f), u"2 [Extra.mp3],Track.mp3 -> ..  0"_s);
    test::click(f.disableButton);
    EXPECT_EQ(m.tree.namesIn(u"My Music"_s), (QStringList{u"Extra.bak"_s, u"Track.mp3"_s}));
}

TEST(MusicDialog, MovesRenameExactlyTheChosenEntryAndNeverReplaceOne) {
    struct Case {
        const char* name;
        QStringList files;
        bool disable; // "->" on an enabled entry, else "<-" on a disabled one
        QString chosen;
        QStringList onDisk;
        QString renamedTo; // holds the chosen file's content
        QString state;
        QString message;
    };
    const QList<Case> cases = {
        {"extension in capitals",
         {u"Track.MP3"_s},
         true,
         u"Track.MP3"_s,
         {u"Track.bak"_s},
         u"Track.bak"_s,
         u"0  .. <- Track.bak 1"_s,
         QString()},
        {"the chosen one of two case twins",
         {u"Song.mp3"_s, u"song.MP3"_s},
         true,
         u"song.MP3"_s,
         {u"Song.mp3"_s, u"song.bak"_s},
         u"song.bak"_s,
         u"1 [Song.mp3] -> <- song.bak 1"_s,
         QString()},
        {"enabling a case twin",
         {u"Road.bak"_s, u"road.BAK"_s, u"A.mp3"_s},
         false,
         u"road.BAK"_s,
         {u"A.mp3"_s, u"Road.bak"_s, u"road.mp3"_s},
         u"road.mp3"_s,
         u"2 [A.mp3],road.mp3 -> <- [Road.bak] 1"_s,
         QString()},
        {"new name taken in another case",
         {u"B.mp3"_s, u"b.BAK"_s},
         true,
         u"B.mp3"_s,
         {u"B.mp3"_s, u"b.BAK"_s},
         QString(),
         u"1 [B.mp3] -> <- [b.BAK],B.bak 1"_s,
         u"B.bak\" already exists."_s},
    };
    for (const Case& c : cases) {
        Music m(c.files);
        Ui::MusicDialogUi& f = m.open();
        test::select(c.disable ? f.enabledList : f.disabledList, c.chosen);
        test::click(c.disable ? f.disableButton : f.enableButton);
        EXPECT_EQ(m.tree.namesIn(u"My Music"_s), c.onDisk) << c.name;
        EXPECT_EQ(Music::state(f), c.state) << c.name;
        if (!c.renamedTo.isEmpty()) {
            EXPECT_EQ(m.tree.read(u"My Music/"_s + c.renamedTo), c.chosen.toUtf8()) << c.name;
        }
        ASSERT_EQ(m.messages.texts().size(), c.message.isEmpty() ? 0 : 1) << c.name;
        if (!c.message.isEmpty()) {
            EXPECT_TRUE(m.messages.texts().first().endsWith(c.message)) << c.name;
        }
    }
}

TEST(MusicDialog, ShowsTheMenuMusicOfLineFive) {
    struct Case {
        QByteArray line5;
        QString shown;
    };
    const QList<Case> cases = {
        {"Game.setMenuMusicFilename \"music/Theme\"", u"Theme.bik"_s},
        {"", u".bik"_s},
        {"Game.setMenuMusicFilename \"music/Theme.bik\"", u"Theme.bik.bik"_s},
        {"xxxxxxxxxxxxxxxxxxxxxxxxxxxyyyyyyNight \"x\"", u"Night x.bik"_s},
    };
    for (const Case& c : cases) {
        Music m;
        m.tree.addFile(kInit, crlf(initLines(c.line5)));
        Ui::MusicDialogUi& f = m.open();
        EXPECT_EQ(f.menuMusicCombo->currentText(), c.shown) << c.line5.toStdString();
        EXPECT_EQ(f.menuMusicCombo->currentIndex(), -1);
        EXPECT_EQ(ui::entriesOf(f.menuMusicCombo),
                  (QStringList{u"Battle.bik"_s, u"night.BIK"_s, u"Theme.bik"_s}));
    }
}

TEST(MusicDialog, SaveWritesTheMenuMusicLineKeepingTheOthers) {
    {
        // No choice: the line read is written back, now with CR LF; the tail stays.
        Music m;
        m.tree.addFile(
            kInit,
            QByteArray("rem 1\nrem 2\nrem 3\nrem 4\nGame.setMenuMusicFilename \"music/Theme\"\n"
                       "rem 6\nrem 7\nrem 8\nrem 9\nrem 10\nrun more\n"));
        Ui::MusicDialogUi& f = m.open();
        test::click(f.saveButton);
        EXPECT_EQ(m.tree.read(kInit), crlf({"rem 1", "rem 2", "rem 3", "rem 4",
                                            "Game.setMenuMusicFilename \"music/Theme\"", "rem 6",
                                            "rem 7", "rem 8", "rem 9", "rem 10"}) +
                                          "run more\n");
    }
    {
        // A chosen entry, saved twice; the base name drops the extension whatever its case.
        Music m;
        Ui::MusicDialogUi& f = m.open();
        test::choose(f.menuMusicCombo, u"night.BIK"_s);
        f.menuMusicCombo->setEditText(u"typed, not chosen"_s);
        test::click(f.saveButton);
        test::click(f.saveButton);
        EXPECT_EQ(m.tree.read(kInit), crlf(initLines("Game.setMenuMusicFilename \"music/night\"")));
        EXPECT_TRUE(m.messages.texts().isEmpty());
    }
    {
        // A four-line Init.con gains the menu music line and five empty lines.
        Music m;
        m.tree.addFile(kInit, crlf(initLines("x", 4)));
        Ui::MusicDialogUi& f = m.open();
        EXPECT_EQ(f.menuMusicCombo->currentText(), u".bik"_s);
        test::click(f.saveButton);
        EXPECT_EQ(m.tree.read(kInit),
                  crlf({"rem line 1", "rem line 2", "rem line 3", "rem line 4",
                        "Game.setMenuMusicFilename \"music/\"", "", "", "", "", ""}));
    }
}

TEST(MusicDialog, UnreadableOrWriteProtectedInitCon) {
    {
        Music m;
        Ui::MusicDialogUi& f = m.open();
        m.tree.setMode(kInit, 0444);
        test::click(f.saveButton);
        EXPECT_EQ(m.messages.texts(), QStringList{QStringLiteral(
                                          "The file \"Init.con\" is missing or write protected")});
        EXPECT_FALSE(f.menuMusicCombo->isEnabled());
        EXPECT_EQ(m.tree.read(kInit), crlf(initLines("Game.setMenuMusicFilename \"music/Theme\"")));
    }
    {
        // Read at one opening, missing at the next: Save then writes nothing.
        Music m({u"A.mp3"_s});
        m.open();
        m.dialog.window()->reject();
        ASSERT_TRUE(QFile::rename(m.tree.path(kInit), m.tree.path(u"Init.away"_s)));
        Ui::MusicDialogUi& f = m.open();
        EXPECT_EQ(m.messages.texts(),
                  QStringList{u"The file \"Init.con\" is missing or corrupt"_s});
        EXPECT_FALSE(f.menuMusicCombo->isEnabled());
        EXPECT_EQ(f.menuMusicCombo->currentText(), QString());
        EXPECT_EQ(Music::state(f), u"1 [A.mp3] -> ..  0"_s);
        m.tree.addFile(kInit, "created meanwhile\r\n");
        test::click(f.saveButton);
        EXPECT_EQ(m.tree.read(kInit), QByteArray("created meanwhile\r\n"));
        EXPECT_EQ(m.messages.texts().size(), 1);
    }
}
