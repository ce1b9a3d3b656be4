#include "app/MainWindow.h"
#include "Accessibility.h"
#include "GameTree.h"
#include "Input.h"
#include "MessageCapture.h"
#include "SettingsHome.h"
#include "StubGame.h"
#include "TestPlatform.h"
#include "app/AboutDialog.h"
#include "common/GameLaunch.h"
#include "multiplayer/MultiplayerDialog.h"
#include "music/MusicDialog.h"
#include "settings/SettingsDialog.h"
#include "ui/SortedList.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace gvt;
using gvt::test::GameTree;

namespace {

// A game folder with blanks, the launcher placed in it, and the window shown.
struct Launcher {
    explicit Launcher(const QStringList& mods = {u"GvTarsis"_s},
                      const QString& gameDirSuffix = QString())
        : tree(u"Grimvale Tarsis Gold"_s), platform(tree.gameFolder()),
          stub(tree.path(u"gvtarsis.exe"_s)) {
        for (const QString& mod : mods)
            tree.addFolder(u"Mods/"_s + mod);
        home.setGameDir(tree.gameFolder() + gameDirSuffix);
        window = std::make_unique<app::MainWindow>(platform.platform);
        test::showActive(*window);
        QApplication::processEvents();
    }
    QListWidget* modList() const { return window->findChild<QListWidget*>(u"modList"_s); }
    QPushButton* button(const char* name) const {
        return window->findChild<QPushButton*>(QString::fromLatin1(name));
    }

    GameTree tree;
    test::SettingsHome home;
    test::TestPlatform platform;
    test::StubGame stub;
    test::MessageCapture messages;
    std::unique_ptr<app::MainWindow> window;
};

// Closes whatever modal dialog opens next, once it is up.
void closeNextModal(QString* title = nullptr) {
    QTimer::singleShot(0, [title] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            if (title)
                *title = modal->windowTitle();
            modal->close();
        }
    });
}

} // namespace

TEST(MainWindow, ListsModsByDisplayNameSortedWithTheFirstSelected) {
    Launcher launcher({u"zulu"_s, u"GvTarsis"_s, u"alpha"_s, u"gvtarsis"_s, u"vorlok"_s,
                       u"Vorlok"_s, u"My Mod"_s, u".hidden"_s});
    launcher.tree.addFile(u"Mods/plain file"_s);
    QListWidget* list = launcher.modList();
    EXPECT_EQ(ui::entriesOf(list),
              (QStringList{u".hidden"_s, u"alpha"_s, u"Grimvale Tarsis"_s, u"gvtarsis"_s,
                           u"My Mod"_s, u"Vorlok"_s, u"Vorlok"_s, u"zulu"_s}));
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->selectedItems().first()->text(), u".hidden"_s);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(launcher.window->windowTitle(), u"GVTarsis Mod Manager 1.2"_s);
    EXPECT_EQ(QApplication::focusWidget(), launcher.button("startButton"));
}

TEST(MainWindow, ProfilesPopupShowsProfilesInReverseSearchOrder) {
    Launcher launcher;
    for (const char* profile : {"Alpha", "bravo", "Charlie"})
        launcher.tree.addFolder(u"Mods/GvTarsis/settings/Profiles/"_s +
                                QString::fromLatin1(profile));
    launcher.tree.addFile(u"Mods/GvTarsis/settings/Profiles/readme.txt"_s);
    app::MainWindow window(launcher.platform.platform);
    QStringList items;
    for (QAction* action : window.profilesMenu()->actions())
        items.append(action->text());
    EXPECT_EQ(items, (QStringList{u"Charlie"_s, u"bravo"_s, u"Alpha"_s}));
    QStringList bar;
    for (QAction* action : window.menuBar()->actions())
        bar.append(action->text());
    EXPECT_EQ(bar, (QStringList{u"&Options"_s, u"Profiles"_s, u"&?"_s}));
}

TEST(MainWindow, StartLaunchesTheSelectedModAndStopsTheTune) {
    struct Case {
        QStringList mods;
        QString selected;
        QStringList expectedWords;
    };
    const QList<Case> cases = {
        {{u"GvTarsis"_s}, u"Grimvale Tarsis"_s, {u"+game"_s, u"GvTarsis"_s}},
        {{u"vorlok"_s, u"GvTarsis"_s}, u"Vorlok"_s, {u"+game"_s, u"vorlok"_s}},
        {{u"VORLOK"_s}, u"VORLOK"_s, {u"+game"_s, u"VORLOK"_s}},
        {{u"My Mod"_s, u"GvTarsis"_s}, u"My Mod"_s, {u"+game"_s, u"My"_s, u"Mod"_s}},
        {{}, QString(), {u"+game"_s}},
    };
    for (const Case& c : cases) {
        Launcher launcher(c.mods);
        if (!c.selected.isEmpty()) {
            test::select(launcher.modList(), c.selected);
            test::ctrlClick(launcher.modList(), c.selected); // stays selected
        }
        EXPECT_TRUE(launcher.platform.sound.playing);
        QTest::mouseClick(launcher.button("startButton"), Qt::LeftButton);
        const auto record = launcher.stub.waitForStart();
        ASSERT_TRUE(record) << c.selected.toStdString();
        EXPECT_EQ(record->arguments, c.expectedWords) << c.selected.toStdString();
        EXPECT_EQ(record->currentDirectory, QDir::current().canonicalPath());
        EXPECT_FALSE(launcher.platform.sound.playing);
        EXPECT_TRUE(launcher.messages.texts().isEmpty());
        EXPECT_TRUE(launcher.window->isVisible());
    }
}

TEST(MainWindow, PlacementCheckRefusesAnotherSpellingOfTheFolder) {
    struct Case {
        const char* name;
        QString gameDirSuffix;
        bool upperCaseProgramFolder;
    };
    const QList<Case> cases = {
        {"trailing separator", u"/"_s, false},
        {"trailing backslash", u"\\"_s, false},
        {"another letter case", QString(), true},
    };
    for (const Case& c : cases) {
        Launcher launcher({u"GvTarsis"_s}, c.gameDirSuffix);
        if (c.upperCaseProgramFolder)
            launcher.platform.program.path =
                launcher.tree.gameFolder().toUpper() + u"/gvtarsis-modmanager"_s;
        QTest::mouseClick(launcher.button("startButton"), Qt::LeftButton);
        ASSERT_EQ(launcher.messages.messages().size(), 1) << c.name;
        EXPECT_EQ(launcher.messages.texts().first(),
                  u"The Mod Manager has to be placed in the Grimvale directory"_s);
        EXPECT_EQ(launcher.messages.messages().first().icon, ui::MessageIcon::Information);
        EXPECT_EQ(launcher.messages.messages().first().owner, launcher.window.get());
        EXPECT_FALSE(launcher.stub.startedWithin(300)) << c.name;
        EXPECT_TRUE(launcher.platform.sound.playing) << c.name;
    }
}

TEST(MainWindow, EnterAndEscapeCloseTheWindowButAProfileDoesNot) {
    {
        Launcher launcher;
        launcher.modList()->setFocus();
        QTest::keyClick(launcher.modList(), Qt::Key_Return);
        EXPECT_FALSE(launcher.window->isVisible());
        EXPECT_EQ(launcher.window->result(), QDialog::Accepted);
        EXPECT_FALSE(launcher.stub.startedWithin(100));
    }
    {
        Launcher launcher;
        QTest::keyClick(launcher.modList(), Qt::Key_Escape);
        EXPECT_FALSE(launcher.window->isVisible());
    }
    {
        // Enter on the focused Start button starts the game instead.
        Launcher launcher;
        launcher.button("startButton")->setFocus();
        QTest::keyClick(launcher.button("startButton"), Qt::Key_Return);
        EXPECT_TRUE(launcher.stub.waitForStart());
        EXPECT_TRUE(launcher.window->isVisible());
    }
    {
        Launcher launcher;
        launcher.tree.addFolder(u"Mods/GvTarsis/settings/Profiles/Custom"_s);
        app::MainWindow window(launcher.platform.platform);
        window.show();
        QString opened;
        closeNextModal(&opened);
        window.profilesMenu()->actions().first()->trigger();
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(opened, u"Settings"_s);
    }
}

TEST(MainWindow, OptionsItemsRunTheEditorsModallyAndKeepTheTune) {
    Launcher launcher;
    QStringList titles;
    for (QAction* action : launcher.window->menuBar()->actions().first()->menu()->actions()) {
        QString title;
        closeNextModal(&title);
        action->trigger();
        titles.append(title);
    }
    EXPECT_EQ(titles, (QStringList{u"Change Music"_s, u"Settings"_s, u"Multiplayer"_s}));
    EXPECT_TRUE(launcher.platform.sound.playing);
    EXPECT_TRUE(launcher.window->isVisible());

    app::AboutDialog about;
    EXPECT_EQ(about.windowTitle(), u"About the Mod Manager"_s);
    EXPECT_TRUE(about.findChild<QLabel*>(u"creditsLabel"_s)->text().contains(u"1.2"_s));
}

TEST(MainWindow, TheTunePlaysFromTheResourcesAndStops) {
    qputenv("QT_MEDIA_BACKEND", "gstreamer");
    platform::MediaSound sound(u"qrc:/sound/tune.wav"_s);
    sound.startTune();
    // Playing means decoding: the player knows the tune's length once it has parsed it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return sound.isPlaying(); }, 5000));
    sound.stopAll();
    EXPECT_FALSE(sound.isPlaying());
}

TEST(MainWindow, ScreenReadersReadWhatEveryDialogShowsAndTabReachesEveryControl) {
    Launcher launcher;
    launcher.tree.addFile(u"Mods/GvTarsis/Init.con"_s);
    launcher.tree.addFile(u"My Music/Song.mp3"_s);
    test::MessageCapture quiet;
    app::AboutDialog about;
    const QList<QDialog*> dialogs = {launcher.window.get(),
                                     &launcher.window->settingsDialog().open(nullptr),
                                     &launcher.window->multiplayerDialog().open(nullptr),
                                     &launcher.window->musicDialog().open(nullptr), &about};
    for (QDialog* dialog : dialogs) {
        test::showActive(*dialog);
        test::checkReadersAndKeyboard(dialog);
    }
}
