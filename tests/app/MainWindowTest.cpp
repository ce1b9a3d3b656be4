#include "app/MainWindow.h"
#include "GameTree.h"
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

using namespace gvt;
using gvt::test::GameTree;

namespace {

// A game folder with blanks, the launcher placed in it, and the window shown.
struct Launcher {
    explicit Launcher(const QStringList& mods = {QStringLiteral("GvTarsis")},
                      const QString& gameDirSuffix = QString())
        : tree(QStringLiteral("Grimvale Tarsis Gold")), platform(tree.gameFolder()),
          stub(tree.path(QStringLiteral("gvtarsis.exe"))) {
        for (const QString& mod : mods)
            tree.addFolder(QStringLiteral("Mods/") + mod);
        home.setGameDir(tree.gameFolder() + gameDirSuffix);
        window = std::make_unique<app::MainWindow>(platform.platform);
        window->show();
        QApplication::setActiveWindow(window.get());
        QApplication::processEvents();
    }
    QListWidget* modList() const {
        return window->findChild<QListWidget*>(QStringLiteral("modList"));
    }
    QPushButton* button(const char* name) const {
        return window->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void selectMod(const QString& shown) const {
        const auto items = modList()->findItems(shown, Qt::MatchExactly);
        ASSERT_FALSE(items.isEmpty()) << shown.toStdString();
        modList()->setCurrentItem(items.first());
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
    Launcher launcher({QStringLiteral("zulu"), QStringLiteral("GvTarsis"), QStringLiteral("alpha"),
                       QStringLiteral("gvtarsis"), QStringLiteral("vorlok"),
                       QStringLiteral("Vorlok"), QStringLiteral("My Mod"),
                       QStringLiteral(".hidden")});
    launcher.tree.addFile(QStringLiteral("Mods/plain file"));
    QListWidget* list = launcher.modList();
    EXPECT_EQ(ui::entriesOf(list),
              (QStringList{QStringLiteral(".hidden"), QStringLiteral("alpha"),
                           QStringLiteral("Grimvale Tarsis"), QStringLiteral("gvtarsis"),
                           QStringLiteral("My Mod"), QStringLiteral("Vorlok"),
                           QStringLiteral("Vorlok"), QStringLiteral("zulu")}));
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->selectedItems().first()->text(), QStringLiteral(".hidden"));
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(launcher.window->windowTitle(), QStringLiteral("GVTarsis Mod Manager 1.2"));
}

TEST(MainWindow, ProfilesPopupShowsProfilesInReverseSearchOrder) {
    Launcher launcher;
    for (const char* profile : {"Alpha", "bravo", "Charlie"})
        launcher.tree.addFolder(QStringLiteral("Mods/GvTarsis/settings/Profiles/") +
                                QString::fromLatin1(profile));
    launcher.tree.addFile(QStringLiteral("Mods/GvTarsis/settings/Profiles/readme.txt"));
    app::MainWindow window(launcher.platform.platform);
    QStringList items;
    for (QAction* action : window.profilesMenu()->actions())
        items.append(action->text());
    EXPECT_EQ(items, (QStringList{QStringLiteral("Charlie"), QStringLiteral("bravo"),
                                  QStringLiteral("Alpha")}));
    QStringList bar;
    for (QAction* action : window.menuBar()->actions())
        bar.append(action->text());
    EXPECT_EQ(bar, (QStringList{QStringLiteral("&Options"), QStringLiteral("Profiles"),
                                QStringLiteral("&?")}));
}

TEST(MainWindow, StartLaunchesTheSelectedModAndStopsTheTune) {
    struct Case {
        QStringList mods;
        QString selected;
        QStringList expectedWords;
    };
    const QList<Case> cases = {
        {{QStringLiteral("GvTarsis")},
         QStringLiteral("Grimvale Tarsis"),
         {QStringLiteral("+game"), QStringLiteral("GvTarsis")}},
        {{QStringLiteral("vorlok"), QStringLiteral("GvTarsis")},
         QStringLiteral("Vorlok"),
         {QStringLiteral("+game"), QStringLiteral("vorlok")}},
        {{QStringLiteral("VORLOK")},
         QStringLiteral("VORLOK"),
         {QStringLiteral("+game"), QStringLiteral("VORLOK")}},
        {{QStringLiteral("My Mod"), QStringLiteral("GvTarsis")},
         QStringLiteral("My Mod"),
         {QStringLiteral("+game"), QStringLiteral("My"), QStringLiteral("Mod")}},
        {{}, QString(), {QStringLiteral("+game")}},
    };
    for (const Case& c : cases) {
        Launcher launcher(c.mods);
        if (!c.selected.isEmpty())
            launcher.selectMod(c.selected);
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
        {"trailing separator", QStringLiteral("/"), false},
        {"trailing backslash", QStringLiteral("\\"), false},
        {"another letter case", QString(), true},
    };
    for (const Case& c : cases) {
        Launcher launcher({QStringLiteral("GvTarsis")}, c.gameDirSuffix);
        if (c.upperCaseProgramFolder)
            launcher.platform.program.path =
                launcher.tree.gameFolder().toUpper() + QStringLiteral("/gvtarsis-modmanager");
        QTest::mouseClick(launcher.button("startButton"), Qt::LeftButton);
        ASSERT_EQ(launcher.messages.messages().size(), 1) << c.name;
        EXPECT_EQ(launcher.messages.texts().first(),
                  QStringLiteral("The Mod Manager has to be placed in the Grimvale directory"));
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
        launcher.tree.addFolder(QStringLiteral("Mods/GvTarsis/settings/Profiles/Custom"));
        app::MainWindow window(launcher.platform.platform);
        window.show();
        QString opened;
        closeNextModal(&opened);
        window.profilesMenu()->actions().first()->trigger();
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(opened, QStringLiteral("Settings"));
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
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Change Music"), QStringLiteral("Settings"),
                                   QStringLiteral("Multiplayer")}));
    EXPECT_TRUE(launcher.platform.sound.playing);
    EXPECT_TRUE(launcher.window->isVisible());

    app::AboutDialog about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About the Mod Manager"));
    EXPECT_TRUE(about.findChild<QLabel*>(QStringLiteral("creditsLabel"))
                    ->text()
                    .contains(QStringLiteral("1.2")));
}

TEST(MainWindow, EveryControlHasAToolTipOrAnAccessibleName) {
    Launcher launcher;
    EXPECT_EQ(launcher.button("startButton")->toolTip(),
              QStringLiteral("Press The Start Button to Run The Selected Mod"));
    EXPECT_EQ(launcher.button("cancelButton")->toolTip(),
              QStringLiteral("Quit The Grimvale Tarsis Mod Manager"));
    EXPECT_EQ(launcher.modList()->toolTip(),
              QStringLiteral("All Installed Mods For Grimvale Tarsis Are Listed Here"));
    EXPECT_EQ(launcher.modList()->accessibleName(), QStringLiteral("Mods"));
    EXPECT_FALSE(launcher.button("startButton")->autoDefault());
    EXPECT_FALSE(launcher.button("cancelButton")->autoDefault());
    EXPECT_EQ(QApplication::focusWidget(), launcher.button("startButton"));
}

TEST(MainWindow, TheTunePlaysFromTheResourcesAndStops) {
    qputenv("QT_MEDIA_BACKEND", "gstreamer");
    platform::MediaSound sound(QStringLiteral("qrc:/sound/tune.wav"));
    sound.startTune();
    // Playing means decoding: the player knows the tune's length once it has parsed it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return sound.isPlaying(); }, 5000));
    sound.stopAll();
    EXPECT_FALSE(sound.isPlaying());
}

TEST(MainWindow, EveryControlOfEveryDialogHasAUniqueAccessibleName) {
    Launcher launcher;
    launcher.tree.addFile(QStringLiteral("Mods/GvTarsis/Init.con"));
    test::MessageCapture quiet;
    const QList<QPair<const char*, QWidget*>> dialogs = {
        {"main window", launcher.window.get()},
        {"settings", &launcher.window->settingsDialog().open(nullptr)},
        {"multiplayer", &launcher.window->multiplayerDialog().open(nullptr)},
        {"music", &launcher.window->musicDialog().open(nullptr)},
    };
    app::AboutDialog about;
    QList<QPair<const char*, QWidget*>> all = dialogs;
    all.append({"about", &about});
    for (const auto& [name, dialog] : all) {
        QStringList names;
        for (QWidget* control : dialog->findChildren<QWidget*>()) {
            const bool isControl =
                qobject_cast<QAbstractButton*>(control) || qobject_cast<QLineEdit*>(control) ||
                qobject_cast<QComboBox*>(control) || qobject_cast<QAbstractSlider*>(control) ||
                qobject_cast<QListWidget*>(control);
            // Scroll bars, menu buttons and a combo box's own line edit belong to Qt's widgets.
            const QString id = control->objectName();
            if (!isControl || id.isEmpty() || id.startsWith(QStringLiteral("qt_")) ||
                qobject_cast<QComboBox*>(control->parentWidget()))
                continue;
            EXPECT_FALSE(control->accessibleName().isEmpty())
                << name << ": " << control->objectName().toStdString();
            names.append(control->accessibleName());
        }
        EXPECT_GE(names.size(), 3) << name;
        const QStringList unique(QSet<QString>(names.begin(), names.end()).values());
        EXPECT_EQ(unique.size(), names.size()) << name << ": " << names.join(u',').toStdString();
    }
}
