// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsDialog.h"
#include "FileFaults.h"
#include "Fixtures.h"
#include "ui/SortedList.h"
#include "ui_SettingsDialog.h"

#include <array>

using namespace gvt;
using gvt::test::crlf;

namespace {

const QString kProfiles = u"Mods/GvTarsis/settings/Profiles/"_s;

QList<QByteArray> general(const QByteArray& name) {
    QList<QByteArray> lines = {"rem general", "rem", "game.setPlayerName \"" + name + "\""};
    for (int i = 4; i <= 27; ++i)
        lines.append("game.option " + QByteArray::number(i));
    return lines;
}

const QList<QByteArray> kVideo = test::lines(
    "rem *** Generated ***||game.setGameDisplayMode 1024 768 32 0|game.setDetailTexture 3|"
    "game.setShadows 1|game.setGraphicsQuality 5|game.setLightmaps 0|game.setGeometryQuality 2|"
    "game.setGamma 1.0|game.setBrightness 50|game.setViewDistance 800|game.setVSync 1");
const QList<QByteArray> kSound = test::lines(
    "rem *** Generated ***||game.soundEnable 1|game.musicEnable 0|game.ingameMusicEnable 1|"
    "game.proximitySoundEnable 0||game.masterVolume 80|game.menuMusicVolume 60||game.channels 48|"
    "game.quality 2|game.soundOcclusion 1|game.speakerSetup \"Stereo\"|game.voiceVolume 70");

// Line `index` of `lines` replaced by `line`.
QList<QByteArray> with(QList<QByteArray> lines, int index, const QByteArray& line) {
    lines[index] = line;
    return lines;
}

struct Settings : test::Game {
    Settings() {
        addProfile(u"Custom"_s, "Tarsis Rider");
        addProfile(u"Veteran"_s, "Old Guard");
        addFolder(kProfiles + u"Default"_s);
        addFolder(kProfiles + u".backup"_s);
    }
    void addProfile(const QString& profile, const QByteArray& name,
                    const QList<QByteArray>& video = kVideo,
                    const QList<QByteArray>& sound = kSound) const {
        addFile(kProfiles + profile + u"/GeneralOptions.con"_s, crlf(general(name)));
        addFile(kProfiles + profile + u"/Video.con"_s, crlf(video));
        addFile(kProfiles + profile + u"/Sound.con"_s, crlf(sound));
    }
    QByteArray file(const QString& name) const { return read(kProfiles + name); }
    Ui::SettingsDialogUi& open() {
        test::showActive(dialog.open(nullptr));
        return dialog.window()->controls();
    }

    settings::SettingsDialog dialog{platform.game};
};

} // namespace

TEST(SettingsDialog, LoadsCustomSavesItBackUnchangedThenEveryChange) {
    Settings s;
    const QByteArray tail = "after the modelled lines\r\nstays\n";
    s.addFile(kProfiles + u"Custom/Video.con"_s, crlf(with(kVideo, 0, "rem the game's comment")));
    s.addFile(kProfiles + u"Custom/Sound.con"_s, crlf(with(kSound, 6, "rem set aside")) + tail);
    Ui::SettingsDialogUi& f = s.open();
    EXPECT_EQ(ui::entriesOf(f.profileCombo), test::names("Custom|Default|Veteran"));
    EXPECT_EQ(s.home.config("Path"), s.gameFolder);
    test::click(f.saveButton);
    EXPECT_EQ(s.file(u"Custom/GeneralOptions.con"_s), crlf(general("Tarsis Rider")));
    EXPECT_EQ(s.file(u"Custom/Video.con"_s), crlf(kVideo)); // the game's comment is not kept
    EXPECT_EQ(s.file(u"Custom/Sound.con"_s), crlf(kSound) + tail);

    test::type(f.nameEdit, u"a\"b"_s);
    for (QCheckBox* box : {f.shadowsCheck, f.lightmapsCheck, f.allSoundsCheck, f.menuMusicCheck,
                           f.inGameMusicCheck, f.proximitySoundsCheck, f.highPlaybackCheck})
        test::click(box);
    test::choose(f.resolutionCombo, u"1600x1200@16"_s);
    for (QSlider* slider : {f.textureQualitySlider, f.occlusionSlider, f.menuMusicVolumeSlider})
        QTest::keyClick(slider, Qt::Key_Home);
    for (QSlider* slider : {f.geometryQualitySlider, f.masterVolumeSlider, f.channelsSlider})
        QTest::keyClick(slider, Qt::Key_End);
    QTest::keyClick(f.graphicsQualitySlider, Qt::Key_Left);
    QString levels; // as the dialog shows them
    for (QLabel* label :
         {f.textureQualityLevel, f.graphicsQualityLevel, f.geometryQualityLevel, f.occlusionLevel,
          f.masterVolumeLevel, f.menuMusicVolumeLevel, f.channelsLevel})
        levels += label->text() + u' ';
    EXPECT_EQ(levels, u"[Low] [80%] [High] [Off] 100 0 64 "_s);
    test::click(f.saveButton);
    EXPECT_EQ(s.file(u"Custom/GeneralOptions.con"_s), crlf(general("a\"b")));
    EXPECT_EQ(s.file(u"Custom/Video.con"_s),
              crlf("rem *** Generated ***||game.setGameDisplayMode 1600 1200 16 0|"
                   "game.setDetailTexture 1|game.setShadows 0|game.setGraphicsQuality 4|"
                   "game.setLightmaps 1|game.setGeometryQuality 3|game.setGamma 1.0|"
                   "game.setBrightness 50|game.setViewDistance 800|game.setVSync 1"));
    EXPECT_EQ(s.file(u"Custom/Sound.con"_s),
              crlf("rem *** Generated ***||game.soundEnable 0|game.musicEnable 1|"
                   "game.ingameMusicEnable 0|game.proximitySoundEnable 1||game.masterVolume 100|"
                   "game.menuMusicVolume 0||game.channels 64|game.quality 1|game.soundOcclusion 0|"
                   "game.speakerSetup \"Stereo\"|game.voiceVolume 70") +
                  tail);
    EXPECT_TRUE(s.messages.texts.isEmpty());
    s.dialog.window()->reject();
    EXPECT_EQ(s.open().nameEdit->text(), u"ab"_s); // read back without its quotes
}

TEST(SettingsDialog, ReadAndWriteFailuresAreToldInOrderAndTheRestIsDone) {
    Settings s;
    QDir(s.path(kProfiles + u"Custom"_s)).removeRecursively();
    Ui::SettingsDialogUi& f = s.open();
    const QString missing = u"The file \"%1\" is missing or corrupt"_s;
    EXPECT_EQ(s.messages.texts,
              (QStringList{missing.arg(u"GeneralOptions.con"), missing.arg(u"Video.con"),
                           missing.arg(u"Sound.con")}));
    EXPECT_EQ(s.messages.icons.count(ui::MessageIcon::Exclamation), 3);
    // The fields stay disabled after a later load that succeeds; its Save skips what cannot be
    // written.
    test::choose(f.profileCombo, u"Veteran"_s);
    EXPECT_EQ(f.nameEdit->text(), u"Old Guard"_s);
    EXPECT_FALSE(f.nameEdit->isEnabled());
    s.messages.texts.clear();
    s.setMode(kProfiles + u"Veteran/GeneralOptions.con"_s, 0444);
    QFile::remove(s.path(kProfiles + u"Veteran/Video.con"_s));
    QTest::keyClick(f.channelsSlider, Qt::Key_End); // still disabled: no change
    test::click(f.saveButton);
    const QString protectedFile = u"The file \"%1\" is missing or write protected"_s;
    EXPECT_EQ(s.messages.texts, (QStringList{protectedFile.arg(u"GeneralOptions.con"),
                                             protectedFile.arg(u"Video.con")}));
    EXPECT_EQ(s.file(u"Veteran/GeneralOptions.con"_s), crlf(general("Old Guard")));
    EXPECT_EQ(s.file(u"Veteran/Sound.con"_s), crlf(kSound));
    EXPECT_EQ(s.namesIn(kProfiles + u"Veteran"_s),
              (QStringList{u"GeneralOptions.con"_s, u"Sound.con"_s}));
}

TEST(SettingsDialog, ArrowKeysStepThroughProfilesAndModesFromTheOneShown) {
    Settings s;
    s.addProfile(u"Alpha"_s, "First One");
    // The settings file is saved once for each thing the user does: its lock and itself.
    faults::watch({s.home.dir.path()});
    Ui::SettingsDialogUi& f = s.open();
    EXPECT_EQ(faults::flushes(), 2) << faults::calls().join(u'\n').toStdString();
    const QString refused = u"The profile \"default\" is not available"_s;
    const QList<std::tuple<QComboBox*, Qt::Key, QString>> steps = {
        // box, key; what it shows, Name, "Config" "Resolution" and messages after the key
        {f.profileCombo, Qt::Key_Down, u"Custom|Tarsis Rider|1024 768 32 0|"_s + refused},
        {f.profileCombo, Qt::Key_Down, u"Veteran|Old Guard|1024 768 32 0|"_s},
        {f.profileCombo, Qt::Key_Up, u"Veteran|Old Guard|1024 768 32 0|"_s + refused},
        {f.profileCombo, Qt::Key_Up, u"Custom|Tarsis Rider|1024 768 32 0|"_s},
        {f.profileCombo, Qt::Key_Up, u"Alpha|First One|1024 768 32 0|"_s},
        {f.resolutionCombo, Qt::Key_Down, u"1152x864@16|First One|1152 864 16 0|"_s},
        {f.profileCombo, Qt::Key_Down, u"Custom|Tarsis Rider|1024 768 32 0|"_s},
    };
    for (const auto& [combo, key, expected] : steps) {
        s.messages.texts.clear();
        faults::watch({s.home.dir.path()});
        QTest::keyClick(combo, key);
        // A refused step changes nothing, so saves nothing.
        EXPECT_EQ(faults::flushes(), expected.endsWith(refused) ? 0 : 2) << expected.toStdString();
        EXPECT_EQ(combo->currentText() + u'|' + f.nameEdit->text() + u'|' +
                      s.home.config("Resolution") + u'|' + s.messages.texts.join(u','),
                  expected);
    }
    // After "Default" was refused, Save writes the profile shown; "Default" gets nothing.
    test::type(f.nameEdit, u"Renamed"_s);
    test::click(f.saveButton);
    EXPECT_EQ(s.file(u"Custom/GeneralOptions.con"_s), crlf(general("Renamed")));
    EXPECT_TRUE(s.namesIn(kProfiles + u"Default"_s).isEmpty());
}

TEST(SettingsDialog, DisableMoviesRenamesTheFourMoviesInOrderUntilOneFails) {
    const std::array<const char*, 3> cases[] = {
        // the movies; after a click; "Config" "Movies" or the end of the message
        {"brume.BIK|Oxley.bik|Intro.bik|Legal.bik", "Brume.bak|Intro.bak|Legal.bak|Oxley.bak", "1"},
        {"Brume.bik|Oxley.bik|Intro.bik", "Brume.bak|Intro.bak|Oxley.bak",
         "Legal.bik\" could not be renamed: it was not found."},
        {"Brume.bik|Oxley.bik|Intro.bik|INTRO.BAK", "Brume.bak|INTRO.BAK|Intro.bik|Oxley.bak",
         "Intro.bak\" already exists."},
    };
    for (const auto& [before, after, outcome] : cases) {
        Settings s;
        for (const QString& movie : test::names(before))
            s.addFile(u"Movies/"_s + movie);
        Ui::SettingsDialogUi& f = s.open();
        test::click(f.disableMoviesCheck);
        EXPECT_EQ(s.namesIn(u"Movies"_s), test::names(after));
        const bool done = *outcome == '1';
        EXPECT_EQ(s.home.config("Movies"), done ? u"1"_s : QString());
        EXPECT_EQ(s.messages.texts.size(), done ? 0 : 1);
        EXPECT_TRUE(done || s.messages.texts.value(0).endsWith(QString::fromLatin1(outcome)));
        if (done) {
            test::click(f.disableMoviesCheck);
            EXPECT_EQ(s.namesIn(u"Movies"_s),
                      test::names("Brume.bik|Intro.bik|Legal.bik|Oxley.bik"));
            EXPECT_EQ(s.home.config("Movies"), u"0"_s);
        }
    }
}

TEST(SettingsDialog, AnUnwritableSettingsFolderIsToldOnceAndSaveStillWritesTheProfile) {
    Settings s;
    QFile blocker(s.home.dir.path() + u"/GVTarsis Mod Manager"_s); // a file where the folder goes
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    Ui::SettingsDialogUi& f = s.open();
    test::click(f.shadowsCheck);
    test::choose(f.resolutionCombo, u"800x600@16"_s);
    test::click(f.saveButton);
    EXPECT_EQ(s.messages.texts,
              QStringList{u"The folder \""_s + s.home.dir.path() +
                          u"/GVTarsis Mod Manager\" cannot be written, so the Mod Manager "
                          "cannot remember your settings. They are kept until it closes."_s});
    EXPECT_EQ(s.file(u"Custom/Video.con"_s),
              crlf(with(with(kVideo, 2, "game.setGameDisplayMode 800 600 16 0"), 4,
                        "game.setShadows 0")));
}
