// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"
#include "Fixtures.h"
#include "app/AboutDialog.h"
#include "app/Placement.h"
#include "multiplayer/MultiplayerDialog.h"
#include "music/MusicDialog.h"
#include "platform/sound/Tune.h"
#include "settings/SettingsDialog.h"
#include "ui/SortedList.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtEndian>

using namespace gvt;

namespace {

// A game folder with blanks and these mods, the launcher placed in it, and the window shown.
struct Launcher : test::Game {
    explicit Launcher(const char* mods = "GvTarsis") {
        for (const QString& mod : test::names(mods))
            addFolder(u"Mods/"_s + mod);
        platform.playing = false;
        window = std::make_unique<app::MainWindow>(platform.platform, platform.findGame());
        test::showActive(*window);
        // The tune starts once the window is first painted.
        EXPECT_TRUE(QTest::qWaitFor([this] { return platform.playing; }));
    }
    QListWidget* mods() const { return window->findChild<QListWidget*>(u"modList"_s); }
    void start() const {
        QTest::mouseClick(window->findChild<QPushButton*>(u"startButton"_s), Qt::LeftButton);
    }
    std::unique_ptr<app::MainWindow> window;
};

} // namespace

TEST(MainWindow, ListsModsByDisplayNameAndProfilesInReverseSearchOrder) {
    Launcher launcher("zulu|GvTarsis|alpha|gvtarsis|vorlok|Vorlok|My Mod|.hidden");
    launcher.addFile(u"Mods/plain file"_s);
    for (const QString& profile : test::names("Alpha|_under|bravo|Charlie"))
        launcher.addFolder(u"Mods/GvTarsis/settings/Profiles/"_s + profile);
    QFile::link(launcher.path(u"Mods/zulu"_s), launcher.path(u"Mods/linked"_s));
    app::MainWindow window(launcher.platform.platform, launcher.platform.findGame());
    auto* mods = window.findChild<QListWidget*>(u"modList"_s);
    EXPECT_EQ(
        ui::entriesOf(mods),
        test::names(".hidden|alpha|Grimvale Tarsis|gvtarsis|linked|My Mod|Vorlok|Vorlok|zulu"));
    EXPECT_EQ(mods->selectedItems().value(0), mods->item(0));
    // Search order compares upper-cased names: "_" comes after the letters.
    QStringList profiles;
    for (const QAction* action : window.profilesMenu()->actions())
        profiles.append(action->text());
    EXPECT_EQ(profiles, test::names("_under|Charlie|bravo|Alpha"));
}

TEST(MainWindow, StartLaunchesTheSelectedModAndStopsTheTune) {
    const std::array<const char*, 3> cases[] = {
        // mods, the one selected, the game's words
        {"GvTarsis", "Grimvale Tarsis", "+game|GvTarsis"},
        {"vorlok|GvTarsis", "Vorlok", "+game|vorlok"},
        {"My Mod|GvTarsis", "My Mod", "+game|My|Mod"},
        {"", "", "+game"},
    };
    for (const auto& [mods, selected, words] : cases) {
        Launcher launcher(mods);
        if (*selected) // a second click with Ctrl keeps it selected
            for (const auto modifiers : {Qt::NoModifier, Qt::ControlModifier})
                test::select(launcher.mods(), QString::fromLatin1(selected), modifiers);
        launcher.start();
        const auto record = launcher.stub.waitForStart();
        ASSERT_TRUE(record) << selected;
        EXPECT_EQ(record->arguments, test::names(words));
        EXPECT_EQ(record->currentDirectory, QDir::current().canonicalPath());
        EXPECT_FALSE(launcher.platform.playing);
        EXPECT_TRUE(launcher.messages.texts.isEmpty() && launcher.window->isVisible());
    }
}

TEST(MainWindow, AGameThatEndsAtOnceWithAFailureIsToldOverTheWindowWhatEndsWellIsNot) {
    for (const int status : {3, 0}) {
        SCOPED_TRACE(status);
        Launcher launcher;
        launcher.addFile(u"gvtarsis.exe"_s, "#!/bin/sh\necho 'no such file: data.rfa'\nexit " +
                                                QByteArray::number(status) + "\n");
        launcher.setMode(u"gvtarsis.exe"_s, 0755);
        launcher.start();
        // Nothing waits for the game: the window answers at once, and is told later.
        EXPECT_TRUE(launcher.messages.texts.isEmpty());
        const bool told = QTest::qWaitFor([&] { return !launcher.messages.texts.isEmpty(); },
                                          status ? 5000 : 1500);
        EXPECT_EQ(told, status != 0);
        const QString record =
            launcher.home.path(u".local/state/gvtarsis-modmanager/last-start.log"_s);
        if (told) {
            EXPECT_EQ(
                launcher.messages.texts,
                QStringList{u"The game ended at once (exit status 3). What it printed is in "_s +
                            record + u"."_s});
            EXPECT_EQ(launcher.messages.owners.value(0), launcher.window.get());
        }
        QFile file(record);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().endsWith("---\nno such file: data.rfa\n"));
    }
}

TEST(MainWindow, AGameNotFoundIsToldOnceWithWhereItWasLookedForAndTheEditorsSayIt) {
    test::SettingsHome home;
    QDir().mkpath(home.prefix() + u"/dosdevices"_s);
    QFile(home.prefix() + u"/system.reg"_s).open(QIODevice::WriteOnly);
    test::TestPlatform platform(home.path(u"Desktop"_s));
    platform.playing = false;
    test::MessageCapture messages;
    app::MainWindow window(platform.platform, platform.findGame());
    test::showActive(window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.texts.isEmpty(); }));
    ASSERT_EQ(messages.texts.size(), 1);
    for (const QString& line :
         {u"Grimvale Tarsis was not found"_s,
          u"\n- the settings file "_s + home.path(u"Oxley Games/Grimvale Tarsis.conf"_s),
          u"\n- the Wine prefix "_s + home.prefix() + u"\n"_s})
        EXPECT_TRUE(messages.texts[0].contains(line)) << messages.texts[0].toStdString();
    EXPECT_EQ(messages.icons, QList{ui::MessageIcon::Information});
    EXPECT_EQ(messages.owners.value(0), &window);

    // No file of "/" is touched for want of a game folder.
    settings::SettingsWindow& settings = window.settingsDialog().open(nullptr);
    test::click(settings.findChild<QCheckBox*>(u"disableMoviesCheck"_s));
    EXPECT_EQ(
        messages.texts.last(),
        u"The file \"\\Movies\\Brume.bik\" could not be renamed: the game folder was not found."_s);
    QTest::mouseClick(window.findChild<QPushButton*>(u"startButton"_s), Qt::LeftButton);
    EXPECT_EQ(messages.texts.last(),
              u"The Mod Manager has to be placed in the Grimvale directory"_s);
    EXPECT_EQ(messages.icons.last(), ui::MessageIcon::Information);
    EXPECT_EQ(messages.owners.last(), &window);
    EXPECT_TRUE(platform.playing); // nothing started
    EXPECT_EQ(messages.texts.count(messages.texts[0]), 1);
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
    platform::Tune tune(tree.path(u"short.wav"_s));
    tune.startTune();
    EXPECT_TRUE(QTest::qWaitFor([&tune] { return tune.loops() >= 2 && tune.isPlaying(); }, 5000));
    tune.stopAll();
    EXPECT_FALSE(tune.isPlaying());
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

namespace {

// Fails unless the shown window and each of its controls lie on its screen, where a user can
// reach them.
void expectOnItsScreen(QWidget* window) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const QRect screen = window->screen()->availableGeometry();
    const std::string name = window->windowTitle().toStdString();
    EXPECT_TRUE(screen.contains(window->frameGeometry())) << name;
    int controls = 0;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (control->isWindow() || !control->isVisibleTo(window))
            continue;
        ++controls;
        EXPECT_TRUE(screen.contains(QRect(control->mapToGlobal(QPoint()), control->size())))
            << name << ": " << control->metaObject()->className() << " "
            << control->objectName().toStdString();
    }
    EXPECT_GT(controls, 1) << name;
}

} // namespace

// Run by the next test on each screen it names (GVT_SCREEN: its size in pixels).
TEST(MainWindow, DISABLED_OnTheScreenGivenEveryWindowFitsAndTheBannerIsDrawnForItsScale) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize pixels = screen->size() * screen->devicePixelRatio();
    ASSERT_EQ(u"%1x%2"_s.arg(pixels.width()).arg(pixels.height()),
              qEnvironmentVariable("GVT_SCREEN"));
    // The demo installation: mods, profiles, maps and music as a player has them.
    test::Game game;
    QProcess::execute(u"cp"_s, {u"-a"_s, QStringLiteral(GVT_SOURCE_DIR "/demo/Grimvale Tarsis/."),
                                game.gameFolder});
    app::MainWindow window(game.platform.platform, game.platform.findGame());
    window.show();
    expectOnItsScreen(&window);

    // Its own art at the screen's scale, not the small one stretched.
    const qreal scale = screen->devicePixelRatio();
    const QPixmap banner = window.findChild<QLabel*>(u"banner"_s)->pixmap();
    EXPECT_EQ(banner.devicePixelRatio(), scale);
    QImage art(scale > 1 ? u":/images/banner@2x.png"_s : u":/images/banner.bmp"_s);
    art.setDevicePixelRatio(scale);
    const QImage shown = banner.toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(shown == art.convertToFormat(QImage::Format_RGB32))
        << "a banner of " << shown.width() << " x " << shown.height() << " pixels";

    app::AboutDialog about(&window);
    for (QDialog* dialog : std::initializer_list<QDialog*>{
             &window.settingsDialog().open(&window), &window.multiplayerDialog().open(&window),
             &window.musicDialog().open(&window), &about}) {
        dialog->show();
        expectOnItsScreen(dialog);
        dialog->hide();
    }
    // The placement question, for one game and for many in deep prefixes.
    const QString deep = u"/home/deck/.local/share/Steam/steamapps/compatdata/4294967295/pfx"_s;
    for (const int games : {1, 12}) {
        QList<platform::InstalledGame> found;
        for (int i = 0; i < games; ++i)
            found.append({u"Steam"_s, deep + QString::number(i),
                          u"C:\\Program Files (x86)\\Oxley Games\\Grimvale Tarsis"_s,
                          deep + QString::number(i) +
                              u"/drive_c/Program Files (x86)/Oxley Games/Grimvale Tarsis"_s});
        QTimer::singleShot(0, [] {
            QWidget* question = QApplication::activeModalWidget();
            ASSERT_TRUE(question);
            expectOnItsScreen(question);
            question->close();
        });
        EXPECT_EQ(app::askWhereToPlace(found).kind, app::PlacementAnswer::Kind::NotNow);
    }
}

TEST(MainWindow, EveryWindowFitsAHandheldsScreenAndOneAtTwiceItsScaleWithTheBannerDrawnForIt) {
    // A handheld's 1280 x 800, and 2560 x 1600 at 200%.
    for (const auto& [width, height, scale] : {std::tuple{1280, 800, "1"}, {2560, 1600, "2"}}) {
        const QByteArray size = QByteArray::number(width) + 'x' + QByteArray::number(height);
        SCOPED_TRACE(size.toStdString());
        QTemporaryDir dir;
        test::writeFile(dir.filePath(u"screens.json"_s),
                        R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": )" +
                            QByteArray::number(width) + ", \"height\": " +
                            QByteArray::number(height) + R"(, "logicalDpi": 96}]})");
        test::EnvironmentScope screen{{{"GVT_SCREEN", size}, {"QT_SCALE_FACTOR", scale}}};
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {u"--gtest_also_run_disabled_tests"_s,
                     u"--gtest_filter=MainWindow.DISABLED_OnTheScreenGiven*"_s, u"-platform"_s,
                     u"offscreen:configfile="_s + dir.filePath(u"screens.json"_s)});
        ASSERT_TRUE(child.waitForFinished(60000));
        const std::string output = child.readAll().toStdString();
        EXPECT_EQ(child.exitCode(), 0) << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
    }
}
