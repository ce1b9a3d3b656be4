#include "settings/SettingsDialog.h"
#include "GameTree.h"
#include "MessageCapture.h"
#include "SettingsHome.h"
#include "ui/SortedList.h"
#include "ui_SettingsDialog.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

using namespace gvt;
using gvt::test::crlf;
using gvt::test::GameTree;

namespace {

const QString kProfiles = QStringLiteral("Mods/GvTarsis/settings/Profiles/");

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
        addProfile(QStringLiteral("Custom"), "Tarsis Rider");
        addProfile(QStringLiteral("Veteran"), "Old Guard");
        tree.addFolder(kProfiles + QStringLiteral("Default"));
        tree.addFolder(kProfiles + QStringLiteral(".backup"));
        tree.addFile(kProfiles + QStringLiteral("notes.txt"));
        for (const char* movie : {"Brume.bik", "Oxley.bik", "Intro.bik", "Legal.bik"})
            tree.addFile(QStringLiteral("Movies/") + QString::fromLatin1(movie));
        home.setGameDir(tree.gameFolder());
    }
    void addProfile(const QString& profile, const QByteArray& name,
                    const QList<QByteArray>& video = kVideo,
                    const QList<QByteArray>& sound = kSound) {
        tree.addFile(kProfiles + profile + QStringLiteral("/GeneralOptions.con"),
                     crlf(generalLines(name)));
        tree.addFile(kProfiles + profile + QStringLiteral("/Video.con"), crlf(video));
        tree.addFile(kProfiles + profile + QStringLiteral("/Sound.con"), crlf(sound));
    }
    QByteArray file(const QString& profile, const char* name) const {
        return tree.read(kProfiles + profile + u'/' + QString::fromLatin1(name));
    }
    Ui::SettingsDialogUi& open() {
        settings::SettingsWindow& window = dialog.open(nullptr);
        window.show();
        QApplication::setActiveWindow(&window);
        return window.form();
    }
    void click(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
    void choose(QComboBox* combo, const QString& entry) {
        const int index = combo->findText(entry);
        ASSERT_GE(index, 0) << entry.toStdString();
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
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
    s.home.setConfigValue(QStringLiteral("Movies"), QStringLiteral("1"));
    Ui::SettingsDialogUi& f = s.open();
    EXPECT_EQ(s.dialog.window()->windowTitle(), QStringLiteral("Settings"));
    EXPECT_EQ(ui::entriesOf(f.profileCombo),
              (QStringList{QStringLiteral("Custom"), QStringLiteral("Default"),
                           QStringLiteral("Veteran")}));
    EXPECT_EQ(f.profileCombo->currentText(), QStringLiteral("Custom"));
    EXPECT_EQ(f.nameEdit->text(), QStringLiteral("Tarsis Rider"));
    EXPECT_EQ(f.resolutionCombo->currentText(), QStringLiteral("1024x768@32"));
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
        {f.textureQualitySlider, f.textureQualityLevel, 3, QStringLiteral("[High]")},
        {f.graphicsQualitySlider, f.graphicsQualityLevel, 5, QStringLiteral("[100%]")},
        {f.geometryQualitySlider, f.geometryQualityLevel, 2, QStringLiteral("[Medium]")},
        {f.occlusionSlider, f.occlusionLevel, 1, QStringLiteral("[Low]")},
        {f.masterVolumeSlider, f.masterVolumeLevel, 80, QStringLiteral("80")},
        {f.menuMusicVolumeSlider, f.menuMusicVolumeLevel, 60, QStringLiteral("60")},
        {f.channelsSlider, f.channelsLevel, 48, QStringLiteral("48")}};
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
    s.tree.addFile(kProfiles + QStringLiteral("Custom/Sound.con"), crlf(kSound) + tail);
    s.click(f.saveButton);
    EXPECT_TRUE(s.messages.texts().isEmpty());
    EXPECT_EQ(s.file(QStringLiteral("Custom"), "GeneralOptions.con"),
              crlf(generalLines("Tarsis Rider")));
    EXPECT_EQ(s.file(QStringLiteral("Custom"), "Video.con"), crlf(kVideo));
    EXPECT_EQ(s.file(QStringLiteral("Custom"), "Sound.con"), crlf(kSound) + tail);
    EXPECT_TRUE(s.dialog.window()->isVisible());
}

TEST(SettingsDialog, SaveWritesEveryChangeFromControlsAndConfig) {
    Settings s;
    QList<QByteArray> video = kVideo;
    video[0] = "rem a comment of the game";
    video[1] = "rem another";
    QList<QByteArray> sound = kSound;
    sound[6] = "rem set aside";
    s.addProfile(QStringLiteral("Custom"), "A much longer old player name", video, sound);
    Ui::SettingsDialogUi& f = s.open();
    f.nameEdit->selectAll();
    QTest::keyClicks(f.nameEdit, QStringLiteral("a\"b"));
    for (QCheckBox* box : {f.shadowsCheck, f.lightmapsCheck, f.allSoundsCheck, f.menuMusicCheck,
                           f.inGameMusicCheck, f.proximitySoundsCheck, f.highPlaybackCheck})
        s.click(box);
    s.choose(f.resolutionCombo, QStringLiteral("1600x1200@16"));
    QTest::keyClick(f.textureQualitySlider, Qt::Key_Home);
    QTest::keyClick(f.graphicsQualitySlider, Qt::Key_Left);
    QTest::keyClick(f.geometryQualitySlider, Qt::Key_End);
    QTest::keyClick(f.occlusionSlider, Qt::Key_Home);
    QTest::keyClick(f.masterVolumeSlider, Qt::Key_End);
    QTest::keyClick(f.menuMusicVolumeSlider, Qt::Key_Home);
    QTest::keyClick(f.channelsSlider, Qt::Key_End);
    EXPECT_EQ(f.occlusionLevel->text(), QStringLiteral("[Off]"));
    EXPECT_EQ(f.channelsLevel->text(), QStringLiteral("64"));
    EXPECT_EQ(f.graphicsQualityLevel->text(), QStringLiteral("[80%]"));
    s.click(f.saveButton);

    QList<QByteArray> general = generalLines("a\"b");
    EXPECT_EQ(s.file(QStringLiteral("Custom"), "GeneralOptions.con"), crlf(general));
    EXPECT_EQ(s.file(QStringLiteral("Custom"), "Video.con"),
              crlf({"rem *** Generated ***", "", "game.setGameDisplayMode 1600 1200 16 0",
                    "game.setDetailTexture 1", "game.setShadows 0", "game.setGraphicsQuality 4",
                    "game.setLightmaps 1", "game.setGeometryQuality 3", "game.setGamma 1.0",
                    "game.setBrightness 50", "game.setViewDistance 800", "game.setVSync 1"}));
    EXPECT_EQ(s.file(QStringLiteral("Custom"), "Sound.con"),
              crlf({"rem *** Generated ***", "", "game.soundEnable 0", "game.musicEnable 1",
                    "game.ingameMusicEnable 0", "game.proximitySoundEnable 1", "",
                    "game.masterVolume 100", "game.menuMusicVolume 0", "", "game.channels 64",
                    "game.quality 1", "game.soundOcclusion 0", "game.speakerSetup \"Stereo\"",
                    "game.voiceVolume 70"}));
    // The name reads back without its quotes.
    s.dialog.window()->reject();
    EXPECT_EQ(s.open().nameEdit->text(), QStringLiteral("ab"));
}

TEST(SettingsDialog, CheckClicksAndResolutionChoiceGoToConfigAtOnce) {
    Settings s;
    Ui::SettingsDialogUi& f = s.open();
    s.click(f.highPlaybackCheck);
    EXPECT_EQ(s.config("HighPlayback"), QStringLiteral("1"));
    s.click(f.highPlaybackCheck);
    EXPECT_EQ(s.config("HighPlayback"), QStringLiteral("2"));
    s.click(f.shadowsCheck);
    EXPECT_EQ(s.config("Shadows"), QStringLiteral("0"));
    s.click(f.shadowsCheck);
    EXPECT_EQ(s.config("Shadows"), QStringLiteral("1"));
    s.choose(f.resolutionCombo, QStringLiteral("640x480@16"));
    EXPECT_EQ(s.config("Resolution"), QStringLiteral("640 480 16 0"));
    // Cancel keeps what the clicks wrote and leaves the files alone.
    s.click(f.cancelButton);
    EXPECT_EQ(s.config("Resolution"), QStringLiteral("640 480 16 0"));
    EXPECT_EQ(s.file(QStringLiteral("Custom"), "Video.con"), crlf(kVideo));
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
        {"in range", "2", "40", 2, QStringLiteral("[Medium]"), 40, QStringLiteral("40")},
        {"out of range", "7", "16", 3, QStringLiteral("[ERROR]"), 32, QStringLiteral("16")},
        {"empty", "", "", 1, QStringLiteral("[ERROR]"), 32, QStringLiteral("[ERROR]")},
        {"followed by a blank", "2 ", "50 ", 2, QStringLiteral("[ERROR]"), 50,
         QStringLiteral("50 ")},
    };
    for (const Case& c : cases) {
        Settings s;
        QList<QByteArray> video = kVideo;
        video[3] = "game.setDetailTexture " + c.texture;
        video[2] = "game.setGameDisplayMode 800 600 32";
        QList<QByteArray> sound = kSound;
        sound[10] = "game.channels " + c.channels;
        s.addProfile(QStringLiteral("Custom"), "x", video, sound);
        Ui::SettingsDialogUi& f = s.open();
        EXPECT_EQ(f.textureQualitySlider->value(), c.texturePosition) << c.name;
        EXPECT_EQ(f.textureQualityLevel->text(), c.textureLabel) << c.name;
        EXPECT_EQ(f.channelsSlider->value(), c.channelsPosition) << c.name;
        EXPECT_EQ(f.channelsLevel->text(), c.channelsLabel) << c.name;
        // Three numbers: an empty depth.
        EXPECT_EQ(f.resolutionCombo->currentText(), QStringLiteral("800x600@")) << c.name;
        EXPECT_EQ(s.config("Resolution"), QStringLiteral("800 600  0")) << c.name;
    }
}

TEST(SettingsDialog, ReadFailuresAreReportedInOrderAndDisableTheirControls) {
    Settings s;
    s.tree.addFolder(kProfiles + QStringLiteral("Empty"));
    for (const char* file : {"GeneralOptions.con", "Video.con", "Sound.con"})
        QFile::remove(
            s.tree.path(kProfiles + QStringLiteral("Custom/") + QString::fromLatin1(file)));
    Ui::SettingsDialogUi& f = s.open();
    EXPECT_EQ(s.messages.texts(),
              (QStringList{QStringLiteral("The file \"GeneralOptions.con\" is missing or corrupt"),
                           QStringLiteral("The file \"Video.con\" is missing or corrupt"),
                           QStringLiteral("The file \"Sound.con\" is missing or corrupt")}));
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
    EXPECT_EQ(f.channelsLevel->text(), QStringLiteral("[ERROR]"));

    // A later successful load leaves them disabled; the next opening enables them again.
    s.messages.clear();
    s.choose(f.profileCombo, QStringLiteral("Veteran"));
    EXPECT_TRUE(s.messages.texts().isEmpty());
    EXPECT_EQ(f.nameEdit->text(), QStringLiteral("Old Guard"));
    EXPECT_FALSE(f.nameEdit->isEnabled());
    s.dialog.window()->reject();
    s.addProfile(QStringLiteral("Custom"), "Back");
    EXPECT_TRUE(s.open().channelsSlider->isEnabled());
}

TEST(SettingsDialog, DefaultIsRefusedAndOtherProfilesLoad) {
    Settings s;
    Ui::SettingsDialogUi& f = s.open();
    s.choose(f.profileCombo, QStringLiteral("Veteran"));
    EXPECT_EQ(f.nameEdit->text(), QStringLiteral("Old Guard"));
    EXPECT_EQ(s.dialog.settings().currentProfile, QStringLiteral("Veteran"));
    s.choose(f.profileCombo, QStringLiteral("Default"));
    EXPECT_EQ(s.messages.texts(),
              QStringList{QStringLiteral("The profile \"default\" is not available")});
    EXPECT_EQ(s.messages.messages().first().icon, ui::MessageIcon::Information);
    EXPECT_EQ(f.profileCombo->currentText(), QStringLiteral("Veteran"));
    f.nameEdit->setText(QStringLiteral("Renamed"));
    s.click(f.saveButton);
    EXPECT_EQ(s.file(QStringLiteral("Veteran"), "GeneralOptions.con"),
              crlf(generalLines("Renamed")));
    EXPECT_TRUE(s.tree.namesIn(kProfiles + QStringLiteral("Default")).isEmpty());
    // Opening again shows "Custom" whatever was chosen before.
    s.dialog.window()->reject();
    EXPECT_EQ(s.open().nameEdit->text(), QStringLiteral("Tarsis Rider"));
}

TEST(SettingsDialog, WriteFailuresAreReportedInOrderAndTheRestIsWritten) {
    {
        Settings s;
        QList<QByteArray> sound = kSound;
        sound[0] = "rem old";
        s.addProfile(QStringLiteral("Custom"), "Rider", kVideo, sound);
        Ui::SettingsDialogUi& f = s.open();
        s.tree.setMode(kProfiles + QStringLiteral("Custom/GeneralOptions.con"), 0444);
        f.nameEdit->setText(QStringLiteral("New"));
        s.click(f.saveButton);
        EXPECT_EQ(s.messages.texts(),
                  QStringList{QStringLiteral(
                      "The file \"GeneralOptions.con\" is missing or write protected")});
        EXPECT_EQ(s.file(QStringLiteral("Custom"), "GeneralOptions.con"),
                  crlf(generalLines("Rider")));
        EXPECT_EQ(s.file(QStringLiteral("Custom"), "Sound.con"), crlf(kSound));
    }
    {
        Settings s;
        Ui::SettingsDialogUi& f = s.open();
        QDir(s.tree.path(kProfiles + QStringLiteral("Custom"))).removeRecursively();
        s.click(f.saveButton);
        EXPECT_EQ(
            s.messages.texts(),
            (QStringList{
                QStringLiteral("The file \"GeneralOptions.con\" is missing or write protected"),
                QStringLiteral("The file \"Sound.con\" is missing or write protected"),
                QStringLiteral("The file \"Video.con\" is missing or write protected")}));
        EXPECT_FALSE(s.tree.exists(kProfiles + QStringLiteral("Custom")));
    }
}

TEST(SettingsDialog, DisableMoviesRenamesTheFourMoviesBothWays) {
    Settings s;
    Ui::SettingsDialogUi& f = s.open();
    s.click(f.disableMoviesCheck);
    EXPECT_EQ(s.tree.namesIn(QStringLiteral("Movies")),
              (QStringList{QStringLiteral("Brume.bak"), QStringLiteral("Intro.bak"),
                           QStringLiteral("Legal.bak"), QStringLiteral("Oxley.bak")}));
    EXPECT_EQ(s.config("Movies"), QStringLiteral("1"));
    s.click(f.disableMoviesCheck);
    EXPECT_EQ(s.tree.namesIn(QStringLiteral("Movies")),
              (QStringList{QStringLiteral("Brume.bik"), QStringLiteral("Intro.bik"),
                           QStringLiteral("Legal.bik"), QStringLiteral("Oxley.bik")}));
    EXPECT_EQ(s.config("Movies"), QStringLiteral("0"));
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
         {QStringLiteral("brume.BIK"), QStringLiteral("Oxley.bik"), QStringLiteral("Intro.bik")},
         {QStringLiteral("Brume.bak"), QStringLiteral("Intro.bak"), QStringLiteral("Oxley.bak")},
         QStringLiteral("Legal.bik\" could not be renamed: it was not found.")},
        {"Intro target exists",
         {QStringLiteral("Brume.bik"), QStringLiteral("Oxley.bik"), QStringLiteral("Intro.bik"),
          QStringLiteral("Intro.bak"), QStringLiteral("Legal.bik")},
         {QStringLiteral("Brume.bak"), QStringLiteral("Intro.bak"), QStringLiteral("Intro.bik"),
          QStringLiteral("Legal.bik"), QStringLiteral("Oxley.bak")},
         QStringLiteral("Intro.bak\" already exists.")},
    };
    for (const Case& c : cases) {
        Settings s;
        QDir(s.tree.path(QStringLiteral("Movies"))).removeRecursively();
        for (const QString& file : c.files)
            s.tree.addFile(QStringLiteral("Movies/") + file);
        s.home.setConfigValue(QStringLiteral("Movies"), QStringLiteral("0"));
        Ui::SettingsDialogUi& f = s.open();
        s.click(f.disableMoviesCheck);
        EXPECT_EQ(s.tree.namesIn(QStringLiteral("Movies")), c.after) << c.name;
        ASSERT_EQ(s.messages.texts().size(), 1) << c.name;
        EXPECT_TRUE(s.messages.texts().first().endsWith(c.messagePart))
            << s.messages.texts().first().toStdString();
        EXPECT_EQ(s.config("Movies"), QStringLiteral("0")) << c.name;
        EXPECT_TRUE(f.disableMoviesCheck->isChecked()) << c.name;
    }
}
