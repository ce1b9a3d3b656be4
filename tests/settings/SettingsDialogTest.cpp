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

// Texture "3 " and shadows "01", as a hand edit may leave them.
const QList<QByteArray> kVideo = test::lines(
    "rem *** Generated ***||game.setGameDisplayMode 1024 768 32 0|game.setDetailTexture 3 |"
    "game.setShadows 01|game.setGraphicsQuality 5|game.setLightmaps 0|game.setGeometryQuality 2|"
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

// The seven level labels, as the dialog shows them.
QString levelsOf(const Ui::SettingsDialogUi& f) {
    return QStringList{f.textureQualityLevel->text(),  f.graphicsQualityLevel->text(),
                       f.geometryQualityLevel->text(), f.occlusionLevel->text(),
                       f.masterVolumeLevel->text(),    f.menuMusicVolumeLevel->text(),
                       f.channelsLevel->text()}
        .join(u' ');
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

TEST(SettingsDialog, LoadsCustomSavesItBackAsReadThenEveryChange) {
    Settings s;
    const QByteArray tail = "after the modelled lines\r\nstays\n", name(40000, 'n');
    const QList<QByteArray> video = with(kVideo, 2, "game.setGameDisplayMode 800 600 32");
    s.addProfile(u"Custom"_s, name, with(video, 0, "rem the game's comment"),
                 with(with(with(kSound, 6, "rem set aside"), 7, "game.masterVolume"), 10,
                      "game.channels 16"));
    s.addFile(kProfiles + u"Custom/Sound.con"_s, s.file(u"Custom/Sound.con"_s) + tail);
    Ui::SettingsDialogUi& f = s.open();
    EXPECT_EQ(ui::entriesOf(f.profileCombo), test::names("Custom|Default|Veteran"));
    EXPECT_EQ(s.home.config("Path"), s.gameFolder);
    // Labels show the texts as read; a key or a click on the handle that leaves a slider where it
    // stands is told all the same.
    EXPECT_EQ(f.resolutionCombo->currentText() + u' ' + levelsOf(f),
              u"800x600@ [ERROR] [100%] [Medium] [Low] [ERROR] 60 16"_s);
    QTest::keyClick(f.textureQualitySlider, Qt::Key_End);
    QTest::keyClick(f.masterVolumeSlider, Qt::Key_Home);
    QTest::mouseClick(f.channelsSlider, Qt::LeftButton, {},
                      QPoint(2, f.channelsSlider->height() / 2));
    EXPECT_EQ(levelsOf(f), u"[High] [100%] [Medium] [Low] 0 60 32"_s);
    test::click(f.saveButton);
    EXPECT_EQ(s.file(u"Custom/GeneralOptions.con"_s), crlf(general(name)));
    // The game's comment is not kept; "Config" values go back as read, positions as they stand.
    EXPECT_EQ(s.file(u"Custom/Video.con"_s),
              crlf(with(with(video, 2, "game.setGameDisplayMode 800 600  0"), 3,
                        "game.setDetailTexture 3")));
    EXPECT_EQ(s.file(u"Custom/Sound.con"_s),
              crlf(with(with(kSound, 7, "game.masterVolume 0"), 10, "game.channels 32")) + tail);

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
    const std::pair<const char*, const char*> unread[] = {
        // a file that cannot be read; the controls it disables, in the form's order
        {"Video.con", "resolutionCombo lightmapsCheck shadowsCheck graphicsQualitySlider "
                      "textureQualitySlider geometryQualitySlider "},
        {"Sound.con", "allSoundsCheck menuMusicCheck inGameMusicCheck proximitySoundsCheck "
                      "highPlaybackCheck masterVolumeSlider menuMusicVolumeSlider channelsSlider "
                      "occlusionSlider "},
    };
    for (const auto& [file, disabled] : unread) {
        Settings s;
        QFile::remove(s.path(kProfiles + u"Custom/"_s + QString::fromLatin1(file)));
        s.open();
        QString names;
        for (const QWidget* control : s.dialog.window()->findChildren<QWidget*>())
            names += control->isEnabledTo(control->parentWidget()) ? u""_s
                                                                   : control->objectName() + u' ';
        EXPECT_EQ(names, QString::fromLatin1(disabled));
    }

    Settings s;
    QDir(s.path(kProfiles + u"Custom"_s)).removeRecursively();
    QFile blocker(s.home.dir.path() + u"/GVTarsis Mod Manager"_s); // where the settings folder goes
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    Ui::SettingsDialogUi& f = s.open();
    // Fields stay disabled after a later load that succeeds; an unwritable settings folder is told.
    test::choose(f.profileCombo, u"Veteran"_s);
    EXPECT_EQ(f.nameEdit->text(), u"Old Guard"_s);
    EXPECT_FALSE(f.nameEdit->isEnabled());
    const QString missing = u"The file \"%1\" is missing or corrupt"_s;
    EXPECT_EQ(s.messages.texts,
              (QStringList{missing.arg(u"GeneralOptions.con"), missing.arg(u"Video.con"),
                           missing.arg(u"Sound.con"),
                           u"The folder \""_s + blocker.fileName() +
                               u"\" cannot be written, so the Mod Manager cannot remember your "
                               "settings. They are kept until it closes."_s}));
    EXPECT_EQ(s.messages.icons.count(ui::MessageIcon::Exclamation), 4);
    // Save skips what cannot be written; the "Config" values it writes were kept in memory.
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

TEST(SettingsDialog, OnlyAChoiceInAListActsAndARefusedDefaultLeavesTheProfileShownAsItWas) {
    Settings s;
    s.addProfile(u"Alpha"_s, "First One");
    // The settings file is saved once for each thing the user does: its lock and itself.
    faults::watch({s.home.dir.path()});
    Ui::SettingsDialogUi& f = s.open();
    EXPECT_EQ(faults::flushes(), 2) << faults::calls().join(u'\n').toStdString();
    const QString refused = u"The profile \"default\" is not available"_s;
    const QList<std::tuple<QWidget*, QString, Qt::Key, QString>> steps = {
        // where, typed text, key; then the Profile box, Name, "Config" "Resolution", messages
        {f.nameEdit, u"Renamed"_s, Qt::Key_Tab, u"Custom|Renamed|1024 768 32 0|"_s},
        {f.profileCombo, {}, Qt::Key_Down, u"Custom|Renamed|1024 768 32 0|"_s + refused},
        {f.profileCombo, {}, Qt::Key_Tab, u"Custom|Renamed|1024 768 32 0|"_s}, // nothing reloads
        {f.saveButton, {}, Qt::Key_Space, u"Custom|Renamed|1024 768 32 0|"_s},
        {f.profileCombo, {}, Qt::Key_Up, u"Alpha|First One|1024 768 32 0|"_s}, // from the one shown
        {f.resolutionCombo, {}, Qt::Key_Down, u"Alpha|First One|1152 864 16 0|"_s},
        {f.profileCombo, {}, Qt::Key_Down, u"Custom|Renamed|1024 768 32 0|"_s}, // as saved
        {f.profileCombo, {}, Qt::Key_Down, u"Custom|Renamed|1024 768 32 0|"_s + refused},
        {f.profileCombo, {}, Qt::Key_Down, u"Veteran|Old Guard|1024 768 32 0|"_s}, // past "Default"
        {f.profileCombo, {}, Qt::Key_Up, u"Veteran|Old Guard|1024 768 32 0|"_s + refused},
        {f.profileCombo, {}, Qt::Key_Up, u"Custom|Renamed|1024 768 32 0|"_s},
        // Typed text completes nothing and chooses nothing; Enter is OK, which saves nothing.
        {f.profileCombo, u"vet"_s, Qt::Key_Tab, u"vet|Renamed|1024 768 32 0|"_s},
        {f.resolutionCombo, u"800x600@16"_s, Qt::Key_Tab, u"vet|Renamed|1024 768 32 0|"_s},
        {f.nameEdit, u"Unsaved"_s, Qt::Key_Tab, u"vet|Unsaved|1024 768 32 0|"_s},
        {f.profileCombo, u"Alpha"_s, Qt::Key_Return, u"Alpha|Unsaved|1024 768 32 0|"_s},
    };
    for (const auto& [target, typed, key, expected] : steps) {
        SCOPED_TRACE(expected.toStdString());
        s.messages.texts.clear();
        target->setFocus();
        auto* combo = qobject_cast<QComboBox*>(target);
        if (!typed.isEmpty())
            test::type(combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(target), typed);
        faults::watch({s.home.path(u"GVTarsis Mod Manager"_s)});
        QTest::keyClick(target, key);
        // Only a choice that is not refused changes "Config", so saves it.
        const bool chosen = key == Qt::Key_Up || key == Qt::Key_Down;
        EXPECT_EQ(faults::flushes(), chosen && !expected.endsWith(refused) ? 2 : 0);
        EXPECT_EQ(f.profileCombo->currentText() + u'|' + f.nameEdit->text() + u'|' +
                      s.home.config("Resolution") + u'|' + s.messages.texts.join(u','),
                  expected);
    }
    EXPECT_FALSE(s.dialog.window()->isVisible());
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
        EXPECT_EQ(s.open().disableMoviesCheck->isChecked(), done); // as "Config" "Movies" says
        if (done) {
            test::click(s.dialog.window()->controls().disableMoviesCheck);
            EXPECT_EQ(s.namesIn(u"Movies"_s),
                      test::names("Brume.bik|Intro.bik|Legal.bik|Oxley.bik"));
            EXPECT_EQ(s.home.config("Movies"), u"0"_s);
            EXPECT_FALSE(s.open().disableMoviesCheck->isChecked());
        }
    }
}
