#include "settings/SettingsDialog.h"
#include "GameTree.h"
#include "Input.h"
#include "MessageCapture.h"
#include "SettingsHome.h"
#include "ui/SortedList.h"
#include "ui_SettingsDialog.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace gvt;
using gvt::test::crlf;
using gvt::test::GameTree;

namespace {

const QString kProfiles = u"Mods/GvTarsis/settings/Profiles/"_s;

QList<QByteArray> generalLines(const QByteArray& name) {
    QList<QByteArray> lines = {"rem general", "rem", "game.setPlayerName \"" + name + "\""};
    for (int i = 4; i <= 27; ++i)
        lines.append("game.option" + QByteArray::number(i) + " " + QByteArray::number(i));
    return lines;
}

const QList<QByteArray> kVideo = {"rem *** Generated ***",
                                  "",
                                  "game.setGameDisplayMode 1024 768 32 0",
                                  "game.setDetailTexture 3",
                                  "game.setShadows 1",
                                  "game.setGraphicsQuality 5",
                                  "game.setLightmaps 0",
                                  "game.setGeometryQuality 2",
                                  "game.setGamma 1.0",
                                  "game.setBrightness 50",
                                  "game.setViewDistance 800",
                                  "game.setVSync 1"};

const QList<QByteArray> kSound = {"rem *** Generated ***",
                                  "",
                                  "game.soundEnable 1",
                                  "game.musicEnable 0",
                                  "game.ingameMusicEnable 1",
                                  "game.proximitySoundEnable 0",
                                  "",
                                  "game.masterVolume 80",
                                  "game.menuMusicVolume 60",
                                  "",
                                  "game.channels 48",
                                  "game.quality 2",
                                  "game.soundOcclusion 1",
                                  "game.speakerSetup \"Stereo\"",
                                  "game.voiceVolume 70"};

struct Settings {
    Settings() {
        addProfile(u"Custom"_s, "Tarsis Rider");
        addProfile(u"Veteran"_s, "Old Guard");
        tree.addFolder(kProfiles + u"Default"_s);
        tree.addFolder(kProfiles + u".backup"_s);
        tree.addFile(kProfiles + u"notes.txt"_s);
        for (const char* movie : {"Brume.bik", "Oxley.bik", "Intro.bik", "Legal.bik"})
            tree.addFile(u"Movies/"_s + QString::fromLatin1(movie));
        home.setGameDir(tree.gameFolder());
    }
    void addProfile(const QString& profile, const QByteArray& name,
                    const QList<QByteArray>& video = kVideo,
                    const QList<QByteArray>& sound = kSound) {
        tree.addFile(kProfiles + profile + u"/GeneralOptions.con"_s, crlf(generalLines(name)));
        tree.addFile(kProfiles + profile + u"/Video.con"_s, crlf(video));
        tree.addFile(kProfiles + profile + u"/Sound.con"_s, crlf(sound));
    }
    QByteArray file(const QString& profile, const char* name) const {
        return tree.read(kProfiles + profile + u'/' + QString::fromLatin1(name));
    }
    Ui::SettingsDialogUi& open() {
        settings::SettingsWindow& window = dialog.open(nullptr);
        test::showActive(window);
        return window.controls();
    }
    QString config(const char* name) const { return home.configValue(QString::fromLatin1(name)); }

    GameTree tree;
    test::SettingsHome home;
    test::MessageCapture messages;
    settings::SettingsDialog dialog;
};

} // namespace

TEST(SettingsDialog, LoadsCustomAndSavesItBackUnchanged) {
    Settings s;
    s.home.setConfigValue(u"Movies"_s, u"1"_s);
    Ui::SettingsDialogUi& f = s.open();
    EXPECT_EQ(s.dialog.window()->windowTitle(), u"Settings"_s);
    EXPECT_EQ(ui::entriesOf(f.profileCombo),
              (QStringList{u"Custom"_s, u"Default"_s, u"Veteran"_s}));
    EXPECT_EQ(f.profileCombo->currentText(), u"Custom"_s);
    EXPECT_EQ(f.nameEdit->text(), u"Tarsis Rider"_s);
    EXPECT_EQ(f.resolutionCombo->currentText(), u"1024x768@32"_s);
    EXPECT_EQ(f.resolutionCombo->count(), 12);
    EXPECT_TRUE(f.disableMoviesCheck->isChecked());
    EXPECT_TRUE(f.shadowsCheck->isChecked());
    EXPECT_FALSE(f.lightmapsCheck->isChecked());
    EXPECT_TRUE(f.allSoundsCheck->isChecked());
    EXPECT_FALSE(f.menuMusicCheck->isChecked());
    EXPECT_TRUE(f.inGameMusicCheck->isChecked());
    EXPECT_FALSE(f.proximitySoundsCheck->isChecked());
    EXPECT_TRUE(f.highPlaybackCheck->isChecked());
    const QList<std::tuple<QSlider*, QLabel*, int, QString>> sliders = {
        {f.textureQualitySlider, f.textureQualityLevel, 3, u"[High]"_s},
        {f.graphicsQualitySlider, f.graphicsQualityLevel, 5, u"[100%]"_s},
        {f.geometryQualitySlider, f.geometryQualityLevel, 2, u"[Medium]"_s},
        {f.occlusionSlider, f.occlusionLevel, 1, u"[Low]"_s},
        {f.masterVolumeSlider, f.masterVolumeLevel, 80, u"80"_s},
        {f.menuMusicVolumeSlider, f.menuMusicVolumeLevel, 60, u"60"_s},
        {f.channelsSlider, f.channelsLevel, 48, u"48"_s}};
    for (const auto& [slider, label, position, text] : sliders) {
        EXPECT_EQ(slider->value(), position) << slider->objectName().toStdString();
        EXPECT_EQ(label->text(), text) << slider->objectName().toStdString();
    }
    const QList<QPair<const char*, const char*>> config = {
        {"Shadows", "1"},      {"Lightmaps", "0"},
        {"AllSounds", "1"},    {"MenuMusic", "0"},
        {"InGameMusic", "1"},  {"ProximitySounds", "0"},
        {"HighPlayback", "2"}, {"Resolution", "1024 768 32 0"}};
    for (const auto& [name, value] : config)
        EXPECT_EQ(s.config(name), QString::fromLatin1(value)) << name;
    EXPECT_EQ(s.config("Path"), s.tree.gameFolder());
    EXPECT_EQ(QApplication::focusWidget(), f.cancelButton);

    const QByteArray tail = "text after the modelled lines\r\nstays\n";
    s.tree.addFile(kProfiles + u"Custom/Sound.con"_s, crlf(kSound) + tail);
    test::click(f.saveButton);
    EXPECT_TRUE(s.messages.texts().isEmpty());
    EXPECT_EQ(s.file(u"Custom"_s, "GeneralOptions.con"), crlf(generalLines("Tarsis Rider")));
    EXPECT_EQ(s.file(u"Custom"_s, "Video.con"), crlf(kVideo));
    EXPECT_EQ(s.file(u"Custom"_s, "Sound.con"), crlf(kSound) + tail);
    EXPECT_TRUE(s.dialog.window()->isVisible());
}

TEST(SettingsDialog, SaveWritesEveryChangeFromControlsAndConfig) {
    Settings s;
    QList<QByteArray> video = kVideo;
    video[0] = "rem a comment of the game";
    video[1] = "rem another";
    QList<QByteArray> sound = kSound;
    sound[6] = "rem set aside";
    s.addProfile(u"Custom"_s, "A much longer old player name", video, sound);
    Ui::SettingsDialogUi& f = s.open();
    f.nameEdit->selectAll();
    QTest::keyClicks(f.nameEdit, u"a\"b"_s);
    for (QCheckBox* box : {f.shadowsCheck, f.lightmapsCheck, f.allSoundsCheck, f.menuMusicCheck,
                           f.inGameMusicCheck, f.proximitySoundsCheck, f.highPlaybackCheck})
        test::click(box);
    test::choose(f.resolutionCombo, u"1600x1200@16"_s);
    QTest::keyClick(f.textureQualitySlider, Qt::Key_Home);
    QTest::keyClick(f.graphicsQualitySlider, Qt::Key_Left);
    QTest::keyClick(f.geometryQualitySlider, Qt::Key_End);
    QTest::keyClick(f.occlusionSlider, Qt::Key_Home);
    QTest::keyClick(f.masterVolumeSlider, Qt::Key_End);
    QTest::keyClick(f.menuMusicVolumeSlider, Qt::Key_Home);
    QTest::keyClick(f.channelsSlider, Qt::Key_End);
    EXPECT_EQ(f.occlusionLevel->text(), u"[Off]"_s);
    EXPECT_EQ(f.channelsLevel->text(), u"64"_s);
    EXPECT_EQ(f.graphicsQualityLevel->text(), u"[80%]"_s);
    test::click(f.saveButton);

    QList<QByteArray> general = generalLines("a\"b");
    EXPECT_EQ(s.file(u"Custom"_s, "GeneralOptions.con"), crlf(general));
    EXPECT_EQ(s.file(u"Custom"_s, "Video.con"),
              crlf({"rem *** Generated ***", "", "game.setGameDisplayMode 1600 1200 16 0",
                    "game.setDetailTexture 1", "game.setShadows 0", "game.setGraphicsQuality 4",
                    "game.setLightmaps 1", "game.setGeometryQuality 3", "game.setGamma 1.0",
                    "game.setBrightness 50", "game.setViewDistance 800", "game.setVSync 1"}));
    EXPECT_EQ(s.file(u"Custom"_s, "Sound.con"),
              crlf({"rem *** Generated ***", "", "game.soundEnable 0", "game.musicEnable 1",
                    "game.ingameMusicEnable 0", "game.proximitySoundEnable 1", "",
                    "game.masterVolume 100", "game.menuMusicVolume 0", "", "game.channels 64",
                    "game.quality 1", "game.soundOcclusion 0", "game.speakerSetup \"Stereo\"",
                    "game.voiceVolume 70"}));
    // The name reads back without its quotes.
    s.dialog.window()->reject();
    EXPECT_EQ(s.open().nameEdit->text(), u"ab"_s);
}

TEST(SettingsDialog, CheckClicksAndResolutionChoiceGoToConfigAtOnce) {
    Settings s;
    Ui::SettingsDialogUi& f = s.open();
    test::click(f.highPlaybackCheck);
    EXPECT_EQ(s.config("HighPlayback"), u"1"_s);
    test::click(f.highPlaybackCheck);
    EXPECT_EQ(s.config("HighPlayback"), u"2"_s);
    test::click(f.shadowsCheck);
    EXPECT_EQ(s.config("Shadows"), u"0"_s);
    test::click(f.shadowsCheck);
    EXPECT_EQ(s.config("Shadows"), u"1"_s);
    test::choose(f.resolutionCombo, u"640x480@16"_s);
    EXPECT_EQ(s.config("Resolution"), u"640 480 16 0"_s);
    // Cancel keeps what the clicks wrote and leaves the files alone.
    test::click(f.cancelButton);
    EXPECT_EQ(s.config("Resolution"), u"640 480 16 0"_s);
    EXPECT_EQ(s.file(u"Custom"_s, "Video.con"), crlf(kVideo));
}

TEST(SettingsDialog, LabelsAndSlidersForUnusualValues) {
    struct Case {
        const char* name;
        QByteArray texture;
        QByteArray channels;
        int texturePosition;
        QString textureLabel;
        int channelsPosition;
        QString channelsLabel;
    };
    const QList<Case> cases = {
        {"in range", "2", "40", 2, u"[Medium]"_s, 40, u"40"_s},
        {"out of range", "7", "16", 3, u"[ERROR]"_s, 32, u"16"_s},
        {"empty", "", "", 1, u"[ERROR]"_s, 32, u"[ERROR]"_s},
        {"followed by a blank", "2 ", "50 ", 2, u"[ERROR]"_s, 50, u"50 "_s},
    };
    for (const Case& c : cases) {
        Settings s;
        QList<QByteArray> video = kVideo;
        video[3] = "game.setDetailTexture " + c.texture;
        video[2] = "game.setGameDisplayMode 800 600 32";
        QList<QByteArray> sound = kSound;
        sound[10] = "game.channels " + c.channels;
        s.addProfile(u"Custom"_s, "x", video, sound);
        Ui::SettingsDialogUi& f = s.open();
        EXPECT_EQ(f.textureQualitySlider->value(), c.texturePosition) << c.name;
        EXPECT_EQ(f.textureQualityLevel->text(), c.textureLabel) << c.name;
        EXPECT_EQ(f.channelsSlider->value(), c.channelsPosition) << c.name;
        EXPECT_EQ(f.channelsLevel->text(), c.channelsLabel) << c.name;
        // Three numbers: an empty depth.
        EXPECT_EQ(f.resolutionCombo->currentText(), u"800x600@"_s) << c.name;
        EXPECT_EQ(s.config("Resolution"), u"800 600  0"_s) << c.name;
    }
}

TEST(SettingsDialog, ReadFailuresAreReportedInOrderAndDisableTheirControls) {
    Settings s;
    s.tree.addFolder(kProfiles + u"Empty"_s);
    for (const char* file : {"GeneralOptions.con", "Video.con", "Sound.con"})
        QFile::remove(s.tree.path(kProfiles + u"Custom/"_s + QString::fromLatin1(file)));
    Ui::SettingsDialogUi& f = s.open();
    EXPECT_EQ(s.messages.texts(),
              (QStringList{u"The file \"GeneralOptions.con\" is missing or corrupt"_s,
                           u"The file \"Video.con\" is missing or corrupt"_s,
                           u"The file \"Sound.con\" is missing or corrupt"_s}));
    for (const auto& message : s.messages.messages())
        EXPECT_EQ(message.icon, ui::MessageIcon::Exclamation);
    const QList<QWidget*> disabled = {f.nameEdit,
                                      f.resolutionCombo,
                                      f.shadowsCheck,
                                      f.lightmapsCheck,
                                      f.geometryQualitySlider,
                                      f.graphicsQualitySlider,
                                      f.textureQualitySlider,
                                      f.allSoundsCheck,
                                      f.inGameMusicCheck,
                                      f.menuMusicCheck,
                                      f.proximitySoundsCheck,
                                      f.highPlaybackCheck,
                                      f.masterVolumeSlider,
                                      f.menuMusicVolumeSlider,
                                      f.occlusionSlider,
                                      f.channelsSlider};
    for (QWidget* w : disabled)
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(f.disableMoviesCheck->isEnabled());
    EXPECT_TRUE(f.profileCombo->isEnabled());
    EXPECT_EQ(f.channelsLevel->text(), u"[ERROR]"_s);

    // A later successful load leaves them disabled; the next opening enables them again.
    s.messages.clear();
    test::choose(f.profileCombo, u"Veteran"_s);
    EXPECT_TRUE(s.messages.texts().isEmpty());
    EXPECT_EQ(f.nameEdit->text(), u"Old Guard"_s);
    EXPECT_FALSE(f.nameEdit->isEnabled());
    s.dialog.window()->reject();
    s.addProfile(u"Custom"_s, "Back");
    EXPECT_TRUE(s.open().channelsSlider->isEnabled());
}

TEST(SettingsDialog, DefaultIsRefusedAndOtherProfilesLoad) {
    Settings s;
    Ui::SettingsDialogUi& f = s.open();
    test::choose(f.profileCombo, u"Veteran"_s);
    EXPECT_EQ(f.nameEdit->text(), u"Old Guard"_s);
    EXPECT_EQ(s.dialog.settings().currentProfile, u"Veteran"_s);
    test::choose(f.profileCombo, u"Default"_s);
    EXPECT_EQ(s.messages.texts(), QStringList{u"The profile \"default\" is not available"_s});
    EXPECT_EQ(s.messages.messages().first().icon, ui::MessageIcon::Information);
    EXPECT_EQ(f.profileCombo->currentText(), u"Veteran"_s);
    f.nameEdit->setText(u"Renamed"_s);
    test::click(f.saveButton);
    EXPECT_EQ(s.file(u"Veteran"_s, "GeneralOptions.con"), crlf(generalLines("Renamed")));
    EXPECT_TRUE(s.tree.namesIn(kProfiles + u"Default"_s).isEmpty());
    // Opening again shows "Custom" whatever was chosen before.
    s.dialog.window()->reject();
    EXPECT_EQ(s.open().nameEdit->text(), u"Tarsis Rider"_s);
}

TEST(SettingsDialog, WriteFailuresAreReportedInOrderAndTheRestIsWritten) {
    {
        Settings s;
        QList<QByteArray> sound = kSound;
        sound[0] = "rem old";
        s.addProfile(u"Custom"_s, "Rider", kVideo, sound);
        Ui::SettingsDialogUi& f = s.open();
        s.tree.setMode(kProfiles + u"Custom/GeneralOptions.con"_s, 0444);
        f.nameEdit->setText(u"New"_s);
        test::click(f.saveButton);
        EXPECT_EQ(s.messages.texts(),
                  QStringList{QStringLiteral(
                      "The file \"GeneralOptions.con\" is missing or write protected")});
        EXPECT_EQ(s.file(u"Custom"_s, "GeneralOptions.con"), crlf(generalLines("Rider")));
        EXPECT_EQ(s.file(u"Custom"_s, "Sound.con"), crlf(kSound));
    }
    {
        Settings s;
        Ui::SettingsDialogUi& f = s.open();
        QDir(s.tree.path(kProfiles + u"Custom"_s)).removeRecursively();
        test::click(f.saveButton);
        EXPECT_EQ(s.messages.texts(),
                  (QStringList{u"The file \"GeneralOptions.con\" is missing or write protected"_s,
                               u"The file \"Sound.con\" is missing or write protected"_s,
                               u"The file \"Video.con\" is missing or write protected"_s}));
        EXPECT_FALSE(s.tree.exists(kProfiles + u"Custom"_s));
    }
}

TEST(SettingsDialog, DisableMoviesRenamesTheFourMoviesBothWays) {
    Settings s;
    Ui::SettingsDialogUi& f = s.open();
    test::click(f.disableMoviesCheck);
    EXPECT_EQ(s.tree.namesIn(u"Movies"_s),
              (QStringList{u"Brume.bak"_s, u"Intro.bak"_s, u"Legal.bak"_s, u"Oxley.bak"_s}));
    EXPECT_EQ(s.config("Movies"), u"1"_s);
    test::click(f.disableMoviesCheck);
    EXPECT_EQ(s.tree.namesIn(u"Movies"_s),
              (QStringList{u"Brume.bik"_s, u"Intro.bik"_s, u"Legal.bik"_s, u"Oxley.bik"_s}));
    EXPECT_EQ(s.config("Movies"), u"0"_s);
    EXPECT_TRUE(s.messages.texts().isEmpty());
}

TEST(SettingsDialog, AFailedMovieRenameStopsTheSwitchThere) {
    struct Case {
        const char* name;
        QStringList files;
        QStringList after;
        QString messagePart;
    };
    const QList<Case> cases = {
        {"Legal missing",
         {u"brume.BIK"_s, u"Oxley.bik"_s, u"Intro.bik"_s},
         {u"Brume.bak"_s, u"Intro.bak"_s, u"Oxley.bak"_s},
         u"Legal.bik\" could not be renamed: it was not found."_s},
        {"Intro target exists",
         {u"Brume.bik"_s, u"Oxley.bik"_s, u"Intro.bik"_s, u"Intro.bak"_s, u"Legal.bik"_s},
         {u"Brume.bak"_s, u"Intro.bak"_s, u"Intro.bik"_s, u"Legal.bik"_s, u"Oxley.bak"_s},
         u"Intro.bak\" already exists."_s},
    };
    for (const Case& c : cases) {
        Settings s;
        QDir(s.tree.path(u"Movies"_s)).removeRecursively();
        for (const QString& file : c.files)
            s.tree.addFile(u"Movies/"_s + file);
        s.home.setConfigValue(u"Movies"_s, u"0"_s);
        Ui::SettingsDialogUi& f = s.open();
        test::click(f.disableMoviesCheck);
        EXPECT_EQ(s.tree.namesIn(u"Movies"_s), c.after) << c.name;
        ASSERT_EQ(s.messages.texts().size(), 1) << c.name;
        EXPECT_TRUE(s.messages.texts().first().endsWith(c.messagePart))
            << s.messages.texts().first().toStdString();
        EXPECT_EQ(s.config("Movies"), u"0"_s) << c.name;
        EXPECT_TRUE(f.disableMoviesCheck->isChecked()) << c.name;
    }
}

TEST(SettingsDialog, ArrowKeysStepThroughProfilesAndModesFromTheOneShown) {
    Settings s;
    s.addProfile(u"Alpha"_s, "First One");
    Ui::SettingsDialogUi& f = s.open();
    const QString refused = u"The profile \"default\" is not available"_s;
    struct Step {
        QComboBox* combo;
        Qt::Key key;
        QString shown;
        QString name;
        QString resolution; // "Config" "Resolution" afterwards
        QStringList messages;
    };
    const QList<Step> steps = {
        {f.profileCombo,
         Qt::Key_Down,
         u"Custom"_s,
         u"Tarsis Rider"_s,
         u"1024 768 32 0"_s,
         {refused}},
        {f.profileCombo, Qt::Key_Down, u"Veteran"_s, u"Old Guard"_s, u"1024 768 32 0"_s, {}},
        {f.profileCombo, Qt::Key_Up, u"Veteran"_s, u"Old Guard"_s, u"1024 768 32 0"_s, {refused}},
        {f.profileCombo, Qt::Key_Up, u"Custom"_s, u"Tarsis Rider"_s, u"1024 768 32 0"_s, {}},
        {f.profileCombo, Qt::Key_Up, u"Alpha"_s, u"First One"_s, u"1024 768 32 0"_s, {}},
        {f.resolutionCombo, Qt::Key_Down, u"1152x864@16"_s, u"First One"_s, u"1152 864 16 0"_s, {}},
        {f.resolutionCombo, Qt::Key_Up, u"1024x768@32"_s, u"First One"_s, u"1024 768 32 0"_s, {}},
    };
    for (const Step& step : steps) {
        s.messages.clear();
        QTest::keyClick(step.combo, step.key);
        EXPECT_EQ(step.combo->currentText(), step.shown);
        EXPECT_EQ(f.nameEdit->text(), step.name) << step.shown.toStdString();
        EXPECT_EQ(s.config("Resolution"), step.resolution) << step.shown.toStdString();
        EXPECT_EQ(s.messages.texts(), step.messages) << step.shown.toStdString();
    }
}

TEST(SettingsDialog, AnUnwritableSettingsFolderIsToldOnceAndSaveStillWritesTheProfile) {
    Settings s;
    QFile blocker(s.home.path() + u"/GVTarsis Mod Manager"_s); // a file where the folder goes
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    Ui::SettingsDialogUi& f = s.open();
    test::click(f.shadowsCheck);
    test::choose(f.resolutionCombo, u"800x600@16"_s);
    test::click(f.saveButton);
    EXPECT_EQ(s.messages.texts(),
              QStringList{u"The folder \""_s + s.home.path() +
                          u"/GVTarsis Mod Manager\" cannot be written, so the Mod Manager cannot "
                          "remember your settings. They are kept until it closes."_s});
    QList<QByteArray> video = kVideo;
    video[2] = "game.setGameDisplayMode 800 600 16 0";
    video[4] = "game.setShadows 0";
    EXPECT_EQ(s.file(u"Custom"_s, "Video.con"), crlf(video));
    EXPECT_EQ(s.file(u"Custom"_s, "Sound.con"), crlf(kSound));
}
