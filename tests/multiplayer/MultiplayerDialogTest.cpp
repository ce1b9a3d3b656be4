// SPDX-License-Identifier: GPL-3.0-or-later
#include "multiplayer/MultiplayerDialog.h"
#include "Fixtures.h"
#include "common/CodePage.h"
#include "ui/SortedList.h"
#include "ui_MultiplayerDialog.h"

using namespace gvt;
using gvt::test::crlf;

namespace {

const QString kServerSettings = u"Mods/GvTarsis/settings/ServerSettings.con"_s;
const QString kMapList = u"Mods/GvTarsis/settings/maplist.con"_s;
const QString kPlacement = u"The Mod Manager has to be placed in the Grimvale directory"_s;

QList<QByteArray> numbered(int count) {
    QList<QByteArray> lines;
    for (int i = 1; i <= count; ++i)
        lines.append("kept " + QByteArray::number(i));
    return lines;
}

// ServerSettings.con as written: the 14 generated lines over the kept ones.
QByteArray settingsFile(const QList<QByteArray>& kept, const char* generated) {
    QList<QByteArray> lines = kept;
    const QList<QByteArray> values = test::lines(generated);
    const int positions[] = {1, 2, 3, 4, 5, 7, 8, 10, 11, 13, 14, 15, 18, 20};
    for (int i = 0; i < 14; ++i)
        lines[positions[i] - 1] = values[i];
    return crlf(lines);
}

const char* const kUntouched =
    "game.serverName \"My Server\"|game.serverDedicated 0|game.serverGamePlayMode GPM_CQ|"
    "game.serverGameTime 0|game.serverMaxPlayers 16|game.serverInternet 0|"
    "game.serverNumberOfRounds 1|game.serverSpawnDelay 0|game.serverGameStartDelay 0|"
    "game.serverSoldierFriendlyFire 100|game.serverVehicleFriendlyFire 100|"
    "game.serverTicketRatio 100|game.serverCoopAiSkill 100|game.serverPassword \"\"";

// What Start says; which controls are enabled (client; server fields; maps; Dedicated, Coop; AI
// skill row) and which of Dedicated, Coop and the two Internet boxes are checked, as 1 and 0.
QString modeState(const Ui::MultiplayerDialogUi& f) {
    QString state = f.startButton->text();
    for (const auto& group : std::initializer_list<std::initializer_list<const QWidget*>>{
             {f.clientInternetCheck, f.ipAddressEdit, f.clientPasswordEdit},
             {f.serverNameEdit, f.maxPlayersEdit, f.serverPasswordEdit, f.roundTimeEdit,
              f.numberOfRoundsEdit, f.spawnTimeEdit, f.startDelayEdit, f.ticketRatioSlider,
              f.friendlyFireSoldiersSlider, f.friendlyFireVehiclesSlider, f.serverInternetCheck},
             {f.disabledList, f.enabledList, f.enableMapButton, f.disableMapButton},
             {f.dedicatedCheck, f.coopCheck},
             {f.aiSkillSlider, f.aiSkillValue, f.aiSkillLabel}}) {
        state += u' ';
        for (const QWidget* control : group)
            state += control->isEnabled() ? u'1' : u'0';
    }
    state += u' ';
    for (const QCheckBox* box :
         {f.dedicatedCheck, f.coopCheck, f.clientInternetCheck, f.serverInternetCheck})
        state += box->isChecked() ? u'1' : u'0';
    return state;
}

// The texts of the edits, the Ticket Ratio label and the mode's state.
QString shownValues(const Ui::MultiplayerDialogUi& f) {
    QString shown;
    for (const QLineEdit* edit : {f.ipAddressEdit, f.clientPasswordEdit, f.serverNameEdit,
                                  f.maxPlayersEdit, f.serverPasswordEdit, f.roundTimeEdit,
                                  f.numberOfRoundsEdit, f.spawnTimeEdit, f.startDelayEdit})
        shown += edit->text() + u'|';
    return shown + f.ticketRatioValue->text() + u' ' + modeState(f);
}

struct Multiplayer : test::Game {
    Multiplayer() {
        for (const char* map : {"GvTarsis/Coldharbour.rfa", "GvTarsis/Ashen Ridge.rfa",
                                "GvTarsis/brume.RFA", "vorlok/Vorlok Keep.rfa", "vorlok/Alpha.rfa"})
            addFile(u"Mods/"_s +
                    QString::fromLatin1(map).replace(u"/"_s, u"/Archives/GvTarsis/Levels/"_s));
        addFolder(u"Mods/Empty Mod"_s);
        addFile(kServerSettings, crlf(numbered(39)));
        addFile(kMapList, "game.addLevel Old\r\ngame.setCurrentLevel Old\r\n");
    }
    Ui::MultiplayerDialogUi& open() {
        test::showActive(dialog.open(nullptr));
        return dialog.window()->controls();
    }
    multiplayer::MultiplayerDialog dialog{platform.platform, platform.game};
};

} // namespace

TEST(MultiplayerDialog, HostWritesServerSettingsAtTheirPositionsKeepingTheRest) {
    common::useGameCodePage(1250); // a Polish player's: names reach the files as the game reads
    Multiplayer mp;
    mp.addFile(kServerSettings, crlf(numbered(45)));
    mp.addFile(u"Mods/GvTarsis/Archives/GvTarsis/Levels/Łódź Ślęża.rfa"_s);
    Ui::MultiplayerDialogUi& f = mp.open();
    test::select(f.disabledList, u"Łódź Ślęża"_s);
    test::click(f.enableMapButton);
    const QStringList typed = test::names("Łódź's \"Den\"|32|pass word||three|15| 5 ");
    qsizetype next = 0;
    for (QLineEdit* edit :
         {f.serverNameEdit, f.maxPlayersEdit, f.serverPasswordEdit, f.roundTimeEdit,
          f.numberOfRoundsEdit, f.spawnTimeEdit, f.startDelayEdit})
        test::type(edit, typed[next++]);
    for (QCheckBox* box : {f.dedicatedCheck, f.serverInternetCheck, f.coopCheck})
        test::click(box);
    f.ticketRatioSlider->setValue(10);
    f.friendlyFireSoldiersSlider->setValue(0);
    f.friendlyFireVehiclesSlider->setValue(55);
    QTest::keyClick(f.aiSkillSlider, Qt::Key_PageDown);
    EXPECT_EQ(f.ticketRatioValue->text() + f.aiSkillValue->text(), u"1090"_s);
    test::click(f.startButton);
    common::useGameCodePage(1252);
    EXPECT_EQ(mp.read(kMapList), "game.addLevel \xa3\xf3\x64\x9f \x8c\x6c\xea\xbf\x61\r\n"
                                 "game.setCurrentLevel \xa3\xf3\x64\x9f \x8c\x6c\xea\xbf\x61\r\n");
    EXPECT_EQ(mp.read(kServerSettings),
              settingsFile(numbered(45),
                           "game.serverName \"\xa3\xf3\x64\x9f's \"Den\"\"|game.serverDedicated 1|"
                           "game.serverGamePlayMode GPM_COOP|game.serverGameTime |"
                           "game.serverMaxPlayers 32|game.serverInternet 1|"
                           "game.serverNumberOfRounds three|game.serverSpawnDelay 15|"
                           "game.serverGameStartDelay  5 |game.serverSoldierFriendlyFire 0|"
                           "game.serverVehicleFriendlyFire 55|game.serverTicketRatio 10|"
                           "game.serverCoopAiSkill 90|game.serverPassword \"pass word\""));
    EXPECT_TRUE(mp.messages.texts.isEmpty());
    const auto record = mp.stub.waitForStart();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->arguments.join(u' '), u"+game Empty Mod +restart 1 +hostServer 1"_s);
    EXPECT_FALSE(mp.platform.playing);
    // The next opening shows what Start took, but the sliders and server texts bar the password.
    EXPECT_EQ(shownValues(mp.open()),
              u"||My Server|16|pass word|0|1|0|0|100 Host 000 11111111111 1110 11 000 1101"_s);
}

TEST(MultiplayerDialog, UnreadableOrWriteProtectedServerSettingsAndAMisplacedLauncher) {
    Multiplayer mp;
    mp.open();
    mp.dialog.window()->reject();
    // Missing at the next opening: the lines of the last read in this run are written back.
    QFile::remove(mp.path(kServerSettings));
    Ui::MultiplayerDialogUi& f = mp.open();
    EXPECT_EQ(mp.messages.texts,
              QStringList{u"The file \"ServerSettings.con\" is missing or corrupt"_s});
    mp.addFile(kServerSettings, "changed meanwhile\r\n");
    test::click(f.startButton);
    EXPECT_EQ(mp.read(kServerSettings), settingsFile(numbered(39), kUntouched));
    EXPECT_TRUE(mp.stub.waitForStart());
    // Write-protected at Start: told, unchanged; the rotation is written and the game starts.
    mp.setMode(kServerSettings, 0444);
    test::click(f.startButton);
    EXPECT_EQ(mp.messages.texts.value(1),
              u"The file \"ServerSettings.con\" is missing or write protected"_s);
    EXPECT_EQ(mp.read(kServerSettings), settingsFile(numbered(39), kUntouched));
    EXPECT_EQ(mp.read(kMapList), QByteArray("game.setCurrentLevel \r\n"));
    EXPECT_TRUE(mp.stub.waitForStart());
    // Placed elsewhere: the files are written first when hosting; joining checks it first.
    mp.platform.program = u"/elsewhere/gvtarsis-modmanager"_s;
    mp.setMode(kServerSettings, 0644);
    mp.addFile(kMapList, "old");
    test::click(f.startButton);
    EXPECT_EQ(mp.read(kServerSettings) + mp.read(kMapList),
              settingsFile(numbered(39), kUntouched) + "game.setCurrentLevel \r\n");
    test::click(f.clientRadio);
    test::click(f.startButton); // the address is empty too
    EXPECT_EQ(mp.messages.texts.mid(2), (QStringList{kPlacement, kPlacement}));
    EXPECT_FALSE(mp.stub.waitForStart(300));
}

TEST(MultiplayerDialog, TheRotationIsWrittenInAlphabeticalOrderAndTheModeSetsWhatIsEnabled) {
    Multiplayer mp;
    Ui::MultiplayerDialogUi& f = mp.open();
    EXPECT_EQ(ui::entriesOf(f.modList), test::names("Empty Mod|Grimvale Tarsis|Vorlok"));
    // The first mod is selected, but the base game's maps are the ones shown.
    EXPECT_EQ(ui::entriesOf(f.disabledList), test::names("Ashen Ridge|brume|Coldharbour"));
    // "mod/map" moved in this order; "-" moves one back.
    for (const QString& move : test::names("Vorlok/Vorlok Keep|Grimvale Tarsis/brume|Vorlok/Alpha|"
                                           "Grimvale Tarsis/Coldharbour|-Coldharbour")) {
        if (move.startsWith(u'-')) {
            test::select(f.enabledList, move.mid(1));
            test::click(f.disableMapButton);
            continue;
        }
        test::select(f.modList, move.section(u'/', 0, 0));
        test::select(f.disabledList, move.section(u'/', 1));
        test::click(f.enableMapButton);
    }
    test::click(f.startButton);
    EXPECT_EQ(mp.read(kMapList),
              "game.addLevel Alpha\r\ngame.addLevel brume\r\n"
              "game.addLevel Vorlok Keep\r\ngame.setCurrentLevel Vorlok Keep\r\n");
    const QList<std::pair<QAbstractButton*, const char*>> clicks = {
        // what is clicked; then what Start says, what is enabled and what is checked
        {f.dedicatedCheck, "Host 000 11111111111 1111 11 000 1000"},
        {f.coopCheck, "Host 000 11111111111 1111 11 111 1100"},
        {f.clientRadio, "Join 111 00000000000 0001 00 011 0100"}, // Dedicated cleared
        {f.serverRadio, "Host 000 11111111111 1111 11 111 0100"}, // Coop set: the slider too
        {f.coopCheck, "Host 000 11111111111 1111 11 000 0000"},
        {f.clientRadio, "Join 111 00000000000 0001 00 000 0000"},
        {f.serverRadio, "Host 000 11111111111 1111 11 000 0000"}, // Coop clear: not the slider
    };
    for (const auto& [control, expected] : clicks) {
        test::click(control);
        EXPECT_EQ(modeState(f), QString::fromLatin1(expected));
    }
    // The move that empties a list disables its button.
    for (QListWidget* from : {f.enabledList, f.disabledList}) {
        QAbstractButton* button = from == f.enabledList ? f.disableMapButton : f.enableMapButton;
        for (int left = from->count(); left > 0; --left) {
            test::select(from, from->item(0)->text());
            test::click(button);
        }
        EXPECT_EQ(modeState(f).section(u' ', 3, 3), from == f.enabledList ? u"1110"_s : u"1101"_s);
    }
}

TEST(MultiplayerDialog, JoinStartsTheGameWithTheClientsWordsAfterItsChecks) {
    const QList<std::tuple<QString, bool, QString, QString>> cases = {
        // address, Internet, password; the words after "+game vorlok +restart 1"
        {u"10.0.0.5"_s, true, QString(), u"+joinServer 10.0.0.5 +isInternet 1 +password {}"_s},
        {u"host"_s, false, u"a b}{c"_s, u"+joinServer host +IsInternet 0 +password {a b}{c}"_s},
        {QString(), false, QString(), QString()},
    };
    for (const auto& [address, internet, password, words] : cases) {
        Multiplayer mp;
        Ui::MultiplayerDialogUi& f = mp.open();
        test::select(f.modList, u"Vorlok"_s);
        test::select(f.modList, u"Vorlok"_s, Qt::ControlModifier); // stays selected
        test::click(f.clientRadio);
        test::type(f.ipAddressEdit, address);
        if (internet)
            test::click(f.clientInternetCheck);
        test::type(f.clientPasswordEdit, password);
        test::click(f.startButton);
        const auto record = mp.stub.waitForStart(address.isEmpty() ? 300 : 5000);
        // The game sees the line split at blanks, as its own parser would.
        EXPECT_EQ(record ? record->arguments.join(u' ') : QString(),
                  address.isEmpty() ? QString() : u"+game vorlok +restart 1 "_s + words);
        EXPECT_EQ(mp.messages.texts.join(u','),
                  address.isEmpty() ? u"You have to enter a valid IP address"_s : QString());
        EXPECT_EQ(mp.platform.playing, address.isEmpty());
        EXPECT_EQ(mp.read(kServerSettings), crlf(numbered(39))); // joining writes nothing
        // The next opening is in Server mode and shows what Start took; what Cancel left, not.
        test::type(f.ipAddressEdit, u"left"_s);
        test::click(f.cancelButton);
        const QString next = u"|My Server|16||0|1|0|0|100 Host 000 11111111111 1110 11 000 0"_s;
        EXPECT_EQ(shownValues(mp.open()),
                  address + u'|' + password + next + (internet ? u"010"_s : u"000"_s));
    }
}
