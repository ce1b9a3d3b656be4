#include "app/MainWindow.h"
#include "Fixtures.h"
#include "app/AboutDialog.h"
#include "multiplayer/MultiplayerDialog.h"
#include "music/MusicDialog.h"
#include "platform/Tune.h"
#include "settings/SettingsDialog.h"
#include "ui/SortedList.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtEndian>

using namespace gvt;

namespace {

// A game folder with blanks, the launcher placed in it, and the window shown.
struct Launcher : test::Game {
    explicit Launcher(const QStringList& mods = {u"GvTarsis"_s}, const QString& gameDirEnd = {}) {
        for (const QString& mod : mods)
            addFolder(u"Mods/"_s + mod);
        home.setGameDir(gameFolder + gameDirEnd);
        platform.playing = false;
        window = std::make_unique<app::MainWindow>(platform.platform);
        test::showActive(*window);
        // The tune starts once the window is first painted.
        EXPECT_TRUE(QTest::qWaitFor([this] { return platform.playing; }));
    }
    QListWidget* mods() const { return window->findChild<QListWidget*>(u"modList"_s); }
    QPushButton* start() const { return window->findChild<QPushButton*>(u"startButton"_s); }
    static QStringList titles(const QList<QAction*>& actions) {
        QStringList titles;
        for (const QAction* action : actions)
            titles.append(action->text());
        return titles;
    }
    std::unique_ptr<app::MainWindow> window;
};

// Closes the modal dialog that opens next, once it is up, and tells its title.
void closeNextModal(QString* title) {
    QTimer::singleShot(0, [title] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            *title = modal->windowTitle();
            modal->close();
        }
    });
}

} // namespace

TEST(MainWindow, ListsModsByDisplayNameAndProfilesInReverseSearchOrder) {
    Launcher launcher({u"zulu"_s, u"GvTarsis"_s, u"alpha"_s, u"gvtarsis"_s, u"vorlok"_s,
                       u"Vorlok"_s, u"My Mod"_s, u".hidden"_s});
    launcher.addFile(u"Mods/plain file"_s);
    for (const char* profile : {"Alpha", "_under", "bravo", "Charlie"})
        launcher.addFolder(u"Mods/GvTarsis/settings/Profiles/"_s + QString::fromLatin1(profile));
    QFile::link(launcher.path(u"Mods/zulu"_s), launcher.path(u"Mods/linked"_s));
    app::MainWindow window(launcher.platform.platform);
    auto* mods = window.findChild<QListWidget*>(u"modList"_s);
    EXPECT_EQ(
        ui::entriesOf(mods),
        test::names(".hidden|alpha|Grimvale Tarsis|gvtarsis|linked|My Mod|Vorlok|Vorlok|zulu"));
    EXPECT_EQ(mods->selectedItems().value(0), mods->item(0));
    // Search order compares upper-cased names: "_" comes after the letters.
    EXPECT_EQ(Launcher::titles(window.profilesMenu()->actions()),
              test::names("_under|Charlie|bravo|Alpha"));
    EXPECT_EQ(Launcher::titles(window.menuBar()->actions()), test::names("&Options|Profiles|&?"));
}

TEST(MainWindow, StartLaunchesTheSelectedModAndStopsTheTune) {
    const QList<std::tuple<QStringList, QString, QString>> cases = {
        // mods, the one selected, the game's words
        {{u"GvTarsis"_s}, u"Grimvale Tarsis"_s, u"+game GvTarsis"_s},
        {{u"vorlok"_s, u"GvTarsis"_s}, u"Vorlok"_s, u"+game vorlok"_s},
        {{u"VORLOK"_s}, u"VORLOK"_s, u"+game VORLOK"_s},
        {{u"My Mod"_s, u"GvTarsis"_s}, u"My Mod"_s, u"+game|My|Mod"_s},
        {{}, QString(), u"+game"_s},
    };
    for (const auto& [mods, selected, words] : cases) {
        Launcher launcher(mods);
        if (!selected.isEmpty()) {
            test::select(launcher.mods(), selected);
            test::select(launcher.mods(), selected, Qt::ControlModifier); // stays selected
        }
        QTest::mouseClick(launcher.start(), Qt::LeftButton);
        const auto record = launcher.stub.waitForStart();
        ASSERT_TRUE(record) << selected.toStdString();
        EXPECT_EQ(record->arguments, words.split(QRegularExpression(u"[ |]"_s)));
        EXPECT_EQ(record->currentDirectory, QDir::current().canonicalPath());
        EXPECT_FALSE(launcher.platform.playing);
        EXPECT_TRUE(launcher.messages.texts.isEmpty() && launcher.window->isVisible());
    }
}

TEST(MainWindow, PlacementCheckRefusesAnotherSpellingOfTheFolder) {
    for (const char* end : {"/", "\\", "case"}) {
        Launcher launcher({u"GvTarsis"_s}, end[0] == 'c' ? QString() : QString::fromLatin1(end));
        if (end[0] == 'c')
            launcher.platform.program = launcher.gameFolder.toUpper() + u"/gvtarsis-modmanager"_s;
        QTest::mouseClick(launcher.start(), Qt::LeftButton);
        EXPECT_EQ(launcher.messages.texts,
                  QStringList{u"The Mod Manager has to be placed in the Grimvale directory"_s});
        EXPECT_EQ(launcher.messages.icons, QList{ui::MessageIcon::Information});
        EXPECT_EQ(launcher.messages.owners.value(0), launcher.window.get());
        EXPECT_FALSE(launcher.stub.waitForStart(300)) << end;
        EXPECT_TRUE(launcher.platform.playing);
    }
}

TEST(MainWindow, TheMenusOpenTheirDialogs) {
    Launcher launcher;
    launcher.addFolder(u"Mods/GvTarsis/settings/Profiles/Custom"_s);
    app::MainWindow window(launcher.platform.platform);
    window.show();
    QMenu* profiles = window.profilesMenu(); // made with the other popups
    QList<QAction*> items = window.menuBar()->actions().first()->menu()->actions();
    items.append(profiles->actions());
    QStringList titles;
    for (QAction* item : items) {
        closeNextModal(&titles.emplace_back());
        item->trigger();
    }
    EXPECT_EQ(titles, test::names("Change Music|Settings|Multiplayer|Settings"));
    EXPECT_TRUE(window.isVisible());
}

TEST(MainWindow, TheTunePlaysInALoopAndStops) {
    // The program's tune cut to its first frames: a loop takes a fraction of a second.
    QFile resource(u":/sound/tune.wav"_s);
    ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
    QByteArray wave = resource.readAll();
    const qsizetype data = wave.indexOf("data");
    wave.truncate(data + 8 + 4800);
    qToLittleEndian<quint32>(4800, wave.data() + data + 4);
    test::GameTree tree;
    tree.addFile(u"short.wav"_s, wave);
    for (const QString& path : {u":/sound/tune.wav"_s, tree.path(u"short.wav"_s)}) {
        platform::Tune tune(path);
        tune.startTune();
        EXPECT_TRUE(tune.isPlaying()) << path.toStdString();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return tune.loops() >= (path.startsWith(u':') ? 0 : 2); }, 5000));
        tune.stopAll();
        EXPECT_FALSE(tune.isPlaying());
    }
}

TEST(MainWindow, ScreenReadersReadWhatEveryDialogShowsAndTabReachesEveryControl) {
    Launcher launcher;
    launcher.addFile(u"Mods/GvTarsis/Init.con"_s);
    launcher.addFile(u"My Music/Song.mp3"_s);
    app::AboutDialog about;
    for (QDialog* dialog : std::initializer_list<QDialog*>{
             launcher.window.get(), &launcher.window->settingsDialog().open(nullptr),
             &launcher.window->multiplayerDialog().open(nullptr),
             &launcher.window->musicDialog().open(nullptr), &about}) {
        test::showActive(*dialog);
        test::checkReadersAndKeyboard(dialog);
    }
}
