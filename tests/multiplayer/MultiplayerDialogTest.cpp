#include "multiplayer/MultiplayerDialog.h"
#include "GameTree.h"
#include "Input.h"
#include "MessageCapture.h"
#include "SettingsHome.h"
#include "StubGame.h"
#include "TestPlatform.h"
#include "ui/SortedList.h"
#include "ui_MultiplayerDialog.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace gvt;
using gvt::test::crlf;
using gvt::test::GameTree;

namespace {

const QString kServerSettings = u"Mods/GvTarsis/settings/ServerSettings.con"_s;
const QString kMapList = u"Mods/GvTarsis/settings/maplist.con"_s;

QList<QByteArray> numberedLines(int count) {
    QList<QByteArray> lines;
    for (int i = 1; i <= count; ++i)
        lines.append("kept " + QByteArray::number(i));
    return lines;
}

// The 14 generated lines of an untouched form at the first opening.
const QMap<int, QByteArray> kUntouched = {
    {1, "game.serverName \"My Server\""},
    {2, "game.serverDedicated 0"},
    {3, "game.serverGamePlayMode GPM_CQ"},
    {4, "game.serverGameTime 0"},
    {5, "game.serverMaxPlayers 16"},
    {7, "game.serverInternet 0"},
    {8, "game.serverNumberOfRounds 1"},
    {10, "game.serverSpawnDelay 0"},
    {11, "game.serverGameStartDelay 0"},
    {13, "game.serverSoldierFriendlyFire 100"},
    {14, "game.serverVehicleFriendlyFire 100"},
    {15, "game.serverTicketRatio 100"},
    {18, "game.serverCoopAiSkill 100"},
    {20, "game.serverPassword \"\""},
};

QByteArray expectedSettings(const QList<QByteArray>& kept, const QMap<int, QByteArray>& generated,
                            const QByteArray& tail = {}) {
    QList<QByteArray> lines = kept;
    lines.resize(39);
    for (auto it = generated.begin(); it != generated.end(); ++it)
        lines[it.key() - 1] = it.value();
    return crlf(lines) + tail;
}

struct Multiplayer {
    Multiplayer()
        : tree(u"Grimvale Tarsis Gold"_s), platform(tree.gameFolder()),
          stub(tree.path(u"gvtarsis.exe"_s)), dialog(platform.platform) {
        tree.addFolder(u"Mods/GvTarsis/Archives/GvTarsis/Levels"_s);
        for (const char* map : {"Coldharbour.rfa", "Ashen Ridge.rfa", "brume.RFA"})
            tree.addFile(u"Mods/GvTarsis/Archives/GvTarsis/Levels/"_s + QString::fromLatin1(map));
        for (const char* map : {"Vorlok Keep.rfa", "Alpha.rfa"})
            tree.addFile(u"Mods/vorlok/Archives/GvTarsis/Levels/"_s + QString::fromLatin1(map));
        tree.addFolder(u"Mods/Empty Mod"_s);
        tree.addFile(kServerSettings, crlf(numberedLines(39)));
        tree.addFile(
            kMapList,
            "game.addLevel Old One\r\ngame.addLevel Old Two\r\ngame.setCurrentLevel Old Two\r\n");
        home.setGameDir(tree.gameFolder());
        platform.sound.playing = true; // as the main window left it
    }
    Ui::MultiplayerDialogUi& open() {
        multiplayer::MultiplayerWindow& window = dialog.open(nullptr);
        test::showActive(window);
        return window.controls();
    }
    void close() { dialog.window()->reject(); }

    GameTree tree;
    test::SettingsHome home;
    test::TestPlatform platform;
    test::StubGame stub;
    test::MessageCapture messages;
    multiplayer::MultiplayerDialog dialog;
};

} // namespace

TEST(MultiplayerDialog, OpensWithItsDefaultsAndTheBaseGamesMaps) {
    Multiplayer mp;
    Ui::MultiplayerDialogUi& f = mp.open();
    EXPECT_EQ(mp.dialog.window()->windowTitle(), u"Multiplayer"_s);
    EXPECT_EQ(ui::entriesOf(f.modList),
              (QStringList{u"Empty Mod"_s, u"Grimvale Tarsis"_s, u"Vorlok"_s}));
    EXPECT_EQ(f.modList->currentRow(), 0);
    // The first mod is selected, but the maps shown are the base game's, none selected.
    EXPECT_EQ(ui::entriesOf(f.disabledList),
              (QStringList{u"Ashen Ridge"_s, u"brume"_s, u"Coldharbour"_s}));
    EXPECT_TRUE(f.disabledList->selectedItems().isEmpty());
    EXPECT_EQ(f.enabledList->count(), 0);
    EXPECT_EQ(f.startButton->text(), u"Host"_s);
    EXPECT_TRUE(f.serverRadio->isChecked());
    for (QLabel* value : {f.ticketRatioValue, f.friendlyFireSoldiersValue,
                          f.friendlyFireVehiclesValue, f.aiSkillValue})
        EXPECT_EQ(value->text(), u"100"_s);
    EXPECT_EQ(f.ticketRatioSlider->minimum(), 10);
    EXPECT_EQ(f.ticketRatioSlider->maximum(), 1000);
    EXPECT_EQ(f.serverNameEdit->text(), u"My Server"_s);
    EXPECT_EQ(f.serverPasswordEdit->echoMode(), QLineEdit::Password);
    for (QWidget* w : std::initializer_list<QWidget*>{
             f.clientInternetCheck, f.ipAddressEdit, f.clientPasswordEdit, f.disableMapButton,
             f.aiSkillSlider, f.aiSkillValue, f.aiSkillLabel})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(f.enableMapButton->isEnabled());
    EXPECT_TRUE(mp.messages.texts().isEmpty());
}

TEST(MultiplayerDialog, HostWritesServerSettingsAtTheirPositionsKeepingTheRest) {
    struct Case {
        const char* name;
        int lineCount;
        bool changeEverything;
    };
    const QList<Case> cases = {
        {"untouched form, 39 lines", 39, false},
        {"every field changed", 39, true},
        {"10-line file", 10, false},
        {"45-line file keeps its tail", 45, false},
    };
    for (const Case& c : cases) {
        Multiplayer mp;
        QList<QByteArray> old = numberedLines(c.lineCount);
        mp.tree.addFile(kServerSettings, crlf(old));
        Ui::MultiplayerDialogUi& f = mp.open();
        QMap<int, QByteArray> expected = kUntouched;
        if (c.changeEverything) {
            test::type(f.serverNameEdit, u"Kévin's \"Den\""_s);
            test::type(f.maxPlayersEdit, u"32"_s);
            test::type(f.serverPasswordEdit, u"pass word"_s);
            test::type(f.roundTimeEdit, QString());
            test::type(f.numberOfRoundsEdit, u"three"_s);
            test::type(f.spawnTimeEdit, u"15"_s);
            test::type(f.startDelayEdit, u" 5 "_s);
            test::click(f.dedicatedCheck);
            test::click(f.serverInternetCheck);
            test::click(f.coopCheck);
            f.ticketRatioSlider->setValue(10);
            f.friendlyFireSoldiersSlider->setValue(0);
            f.friendlyFireVehiclesSlider->setValue(55);
            QTest::keyClick(f.aiSkillSlider, Qt::Key_PageDown);
            expected = {{1, "game.serverName \"K\xe9vin's \"Den\"\""},
                        {2, "game.serverDedicated 1"},
                        {3, "game.serverGamePlayMode GPM_COOP"},
                        {4, "game.serverGameTime "},
                        {5, "game.serverMaxPlayers 32"},
                        {7, "game.serverInternet 1"},
                        {8, "game.serverNumberOfRounds three"},
                        {10, "game.serverSpawnDelay 15"},
                        {11, "game.serverGameStartDelay  5 "},
                        {13, "game.serverSoldierFriendlyFire 0"},
                        {14, "game.serverVehicleFriendlyFire 55"},
                        {15, "game.serverTicketRatio 10"},
                        {18, "game.serverCoopAiSkill 90"},
                        {20, "game.serverPassword \"pass word\""}};
        }
        test::click(f.startButton);
        const QList<QByteArray> kept = old.mid(0, 39);
        const QByteArray tail = c.lineCount > 39 ? crlf(old.mid(39)) : QByteArray();
        EXPECT_EQ(mp.tree.read(kServerSettings), expectedSettings(kept, expected, tail)) << c.name;
        EXPECT_TRUE(mp.messages.texts().isEmpty()) << c.name;
        const auto record = mp.stub.waitForStart();
        ASSERT_TRUE(record) << c.name;
        EXPECT_EQ(record->arguments.join(u' '), u"+game Empty Mod +restart 1 +hostServer 1"_s);
        EXPECT_FALSE(mp.platform.sound.playing);
    }
}

TEST(MultiplayerDialog, UnreadableAndWriteProtectedServerSettings) {
    {
        // Unreadable at opening: the lines of the last successful read in this run are kept.
        Multiplayer mp;
        mp.open();
        mp.close();
        QList<QByteArray> firstRead = numberedLines(39);
        mp.tree.setMode(kServerSettings, 0);
        mp.tree.addFolder(u"swap"_s);
        ASSERT_TRUE(QFile::rename(mp.tree.path(kServerSettings), mp.tree.path(u"swap/s"_s)));
        Ui::MultiplayerDialogUi& f = mp.open();
        EXPECT_EQ(mp.messages.texts(),
                  QStringList{u"The file \"ServerSettings.con\" is missing or corrupt"_s});
        EXPECT_EQ(mp.messages.messages().first().icon, ui::MessageIcon::Exclamation);
        mp.tree.addFile(kServerSettings, "changed meanwhile\r\n");
        test::click(f.startButton);
        EXPECT_EQ(mp.tree.read(kServerSettings), expectedSettings(firstRead, kUntouched));
    }
    {
        // Write-protected at Start: message, file unchanged, rotation still written, game started.
        Multiplayer mp;
        Ui::MultiplayerDialogUi& f = mp.open();
        mp.tree.setMode(kServerSettings, 0444);
        test::click(f.startButton);
        EXPECT_EQ(mp.messages.texts(),
                  QStringList{QStringLiteral(
                      "The file \"ServerSettings.con\" is missing or write protected")});
        EXPECT_EQ(mp.tree.read(kServerSettings), crlf(numberedLines(39)));
        EXPECT_EQ(mp.tree.read(kMapList), QByteArray("game.setCurrentLevel \r\n"));
        EXPECT_TRUE(mp.stub.waitForStart());
    }
}

TEST(MultiplayerDialog, MapListIsTheRotationInAlphabeticalOrder) {
    struct Case {
        const char* name;
        QList<QPair<QString, QString>> enable; // mod, map
        QByteArray expected;
    };
    const QList<Case> cases = {
        {"empty rotation", {}, "game.setCurrentLevel \r\n"},
        {"enabled out of order",
         {{u"Grimvale Tarsis"_s, u"Coldharbour"_s}, {u"Grimvale Tarsis"_s, u"Ashen Ridge"_s}},
         "game.addLevel Ashen Ridge\r\ngame.addLevel Coldharbour\r\ngame.setCurrentLevel "
         "Coldharbour\r\n"},
        {"maps of two mods",
         {{u"Vorlok"_s, u"Vorlok Keep"_s},
          {u"Grimvale Tarsis"_s, u"brume"_s},
          {u"Vorlok"_s, u"Alpha"_s}},
         "game.addLevel Alpha\r\ngame.addLevel brume\r\ngame.addLevel Vorlok Keep\r\n"
         "game.setCurrentLevel Vorlok Keep\r\n"},
    };
    for (const Case& c : cases) {
        Multiplayer mp;
        Ui::MultiplayerDialogUi& f = mp.open();
        for (const auto& [mod, map] : c.enable) {
            test::select(f.modList, mod);
            test::select(f.disabledList, map);
            test::click(f.enableMapButton);
        }
        test::select(f.modList, u"Grimvale Tarsis"_s);
        test::click(f.startButton);
        EXPECT_EQ(mp.tree.read(kMapList), c.expected) << c.name;
    }
}

TEST(MultiplayerDialog, ArrowButtonsFollowMovesModChangesAndModeSwitches) {
    Multiplayer mp;
    Ui::MultiplayerDialogUi& f = mp.open();
    const auto states = [&f] {
        return QString::fromLatin1(f.enableMapButton->isEnabled() ? "->" : "  ") + u'|' +
               QString::fromLatin1(f.disableMapButton->isEnabled() ? "<-" : "  ");
    };
    // Nothing selected: "->" does nothing.
    test::click(f.enableMapButton);
    EXPECT_EQ(f.enabledList->count(), 0);
    test::select(f.disabledList, u"brume"_s);
    test::click(f.enableMapButton);
    EXPECT_EQ(states(), u"->|<-"_s);
    EXPECT_EQ(f.disabledList->currentItem()->text(), u"Ashen Ridge"_s);
    test::click(f.enableMapButton);
    test::click(f.enableMapButton);
    EXPECT_EQ(states(), u"  |<-"_s);
    EXPECT_EQ(ui::entriesOf(f.enabledList),
              (QStringList{u"Ashen Ridge"_s, u"brume"_s, u"Coldharbour"_s}));
    // A mod change refills the Disabled list and leaves "->" disabled.
    test::select(f.modList, u"Vorlok"_s);
    EXPECT_EQ(ui::entriesOf(f.disabledList), (QStringList{u"Alpha"_s, u"Vorlok Keep"_s}));
    EXPECT_EQ(f.disabledList->currentRow(), 0);
    EXPECT_EQ(f.enabledList->count(), 3);
    EXPECT_EQ(states(), u"  |<-"_s);
    // Client mode disables the lists and "->" and leaves "<-" as it was; Server enables "->".
    test::click(f.clientRadio);
    EXPECT_FALSE(f.disabledList->isEnabled());
    EXPECT_EQ(states(), u"  |<-"_s);
    EXPECT_EQ(f.startButton->text(), u"Join"_s);
    test::click(f.serverRadio);
    EXPECT_EQ(states(), u"->|<-"_s);
    EXPECT_EQ(f.startButton->text(), u"Host"_s);
    // Moving the last map out of the rotation disables "<-".
    for (int i = 0; i < 3; ++i) {
        f.enabledList->setCurrentRow(0);
        test::click(f.disableMapButton);
    }
    EXPECT_EQ(states(), u"->|  "_s);
    EXPECT_EQ(f.disabledList->count(), 5);
}

TEST(MultiplayerDialog, ModeSwitchAndCoopRule) {
    Multiplayer mp;
    Ui::MultiplayerDialogUi& f = mp.open();
    test::click(f.dedicatedCheck);
    test::click(f.coopCheck);
    EXPECT_TRUE(f.aiSkillSlider->isEnabled());
    EXPECT_TRUE(f.aiSkillLabel->isEnabled());
    test::click(f.clientRadio);
    EXPECT_FALSE(f.dedicatedCheck->isChecked());
    for (QWidget* w : std::initializer_list<QWidget*>{f.dedicatedCheck, f.coopCheck,
                                                      f.aiSkillSlider, f.serverNameEdit,
                                                      f.ticketRatioSlider, f.serverInternetCheck})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    for (QWidget* w : std::initializer_list<QWidget*>{f.ipAddressEdit, f.clientPasswordEdit,
                                                      f.clientInternetCheck})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    // The AI labels keep the state of the last Coop click.
    EXPECT_TRUE(f.aiSkillLabel->isEnabled());
    test::click(f.serverRadio);
    EXPECT_TRUE(f.aiSkillSlider->isEnabled());
    EXPECT_FALSE(f.dedicatedCheck->isChecked());
    test::click(f.coopCheck);
    EXPECT_FALSE(f.aiSkillSlider->isEnabled());
    EXPECT_FALSE(f.aiSkillValue->isEnabled());
    // Slider value labels follow the sliders.
    QTest::keyClick(f.friendlyFireVehiclesSlider, Qt::Key_End);
    f.ticketRatioSlider->setValue(1000);
    EXPECT_EQ(f.ticketRatioValue->text(), u"1000"_s);
}

TEST(MultiplayerDialog, JoinCommandLinesAndChecks) {
    struct Case {
        const char* name;
        QString address;
        bool internet;
        QString password;
        QString expectedArguments;
    };
    const QList<Case> cases = {
        {"internet off, no password", u"10.0.0.5"_s, false, QString(),
         u"+game vorlok +restart 1 +joinServer 10.0.0.5 +IsInternet 0 +password {}"_s},
        {"internet on", u"10.0.0.5"_s, true, QString(),
         u"+game vorlok +restart 1 +joinServer 10.0.0.5 +isInternet 1 +password {}"_s},
        {"password with blanks and braces", u"host.example"_s, false, u"a b}{c"_s,
         QStringLiteral(
             "+game vorlok +restart 1 +joinServer host.example +IsInternet 0 +password {a b}{c}")},
    };
    for (const Case& c : cases) {
        Multiplayer mp;
        Ui::MultiplayerDialogUi& f = mp.open();
        test::select(f.modList, u"Vorlok"_s);
        test::ctrlClick(f.modList, u"Vorlok"_s); // stays selected
        test::click(f.clientRadio);
        test::type(f.ipAddressEdit, c.address);
        if (c.internet)
            test::click(f.clientInternetCheck);
        test::type(f.clientPasswordEdit, c.password);
        test::click(f.startButton);
        const auto record = mp.stub.waitForStart();
        ASSERT_TRUE(record) << c.name;
        // The game sees the line split at blanks, as its own parser would.
        EXPECT_EQ(record->arguments, c.expectedArguments.split(u' ', Qt::SkipEmptyParts)) << c.name;
        EXPECT_TRUE(mp.messages.texts().isEmpty()) << c.name;
        // Joining never writes the server files.
        EXPECT_EQ(mp.tree.read(kServerSettings), crlf(numberedLines(39))) << c.name;
    }
    Multiplayer mp;
    Ui::MultiplayerDialogUi& f = mp.open();
    test::click(f.clientRadio);
    test::click(f.startButton);
    EXPECT_EQ(mp.messages.texts(), QStringList{u"You have to enter a valid IP address"_s});
    EXPECT_EQ(mp.messages.messages().first().icon, ui::MessageIcon::Information);
    EXPECT_FALSE(mp.stub.startedWithin(300));
    EXPECT_TRUE(mp.platform.sound.playing);
}

TEST(MultiplayerDialog, PlacementCheckComesAfterTheFilesWhenHostingAndFirstWhenJoining) {
    Multiplayer mp;
    mp.platform.program.path = u"/elsewhere/gvtarsis-modmanager"_s;
    Ui::MultiplayerDialogUi& f = mp.open();
    test::click(f.startButton);
    EXPECT_EQ(mp.messages.texts(),
              QStringList{u"The Mod Manager has to be placed in the Grimvale directory"_s});
    EXPECT_EQ(mp.tree.read(kServerSettings), expectedSettings(numberedLines(39), kUntouched));
    EXPECT_EQ(mp.tree.read(kMapList), QByteArray("game.setCurrentLevel \r\n"));

    mp.messages.clear();
    test::click(f.clientRadio);
    test::click(f.startButton); // empty address too: the placement message comes first
    EXPECT_EQ(mp.messages.texts(),
              QStringList{u"The Mod Manager has to be placed in the Grimvale directory"_s});
    EXPECT_FALSE(mp.stub.startedWithin(300));
    EXPECT_TRUE(mp.platform.sound.playing);
}

TEST(MultiplayerDialog, SomeFieldsCarryOverToTheNextOpening) {
    Multiplayer mp;
    Ui::MultiplayerDialogUi& f = mp.open();
    test::type(f.serverNameEdit, u"Mine"_s);
    test::type(f.serverPasswordEdit, u"secret"_s);
    test::click(f.serverInternetCheck);
    test::click(f.coopCheck);
    f.ticketRatioSlider->setValue(500);
    test::click(f.clientRadio);
    test::type(f.ipAddressEdit, u"10.1.1.1"_s);
    test::type(f.clientPasswordEdit, u"pw"_s);
    test::click(f.clientInternetCheck);
    test::click(f.serverRadio); // a mode switch takes the values
    mp.close();

    Ui::MultiplayerDialogUi& g = mp.open();
    EXPECT_EQ(g.ipAddressEdit->text(), u"10.1.1.1"_s);
    EXPECT_EQ(g.clientPasswordEdit->text(), u"pw"_s);
    EXPECT_TRUE(g.clientInternetCheck->isChecked());
    EXPECT_EQ(g.serverPasswordEdit->text(), u"secret"_s);
    EXPECT_TRUE(g.serverInternetCheck->isChecked());
    EXPECT_TRUE(g.coopCheck->isChecked());
    EXPECT_FALSE(g.aiSkillSlider->isEnabled());
    EXPECT_EQ(g.serverNameEdit->text(), u"My Server"_s);
    EXPECT_EQ(g.ticketRatioSlider->value(), 100);
    EXPECT_TRUE(g.serverRadio->isChecked());

    // Typed and left by Cancel: not kept.
    test::type(g.ipAddressEdit, u"10.9.9.9"_s);
    mp.close();
    EXPECT_EQ(mp.open().ipAddressEdit->text(), u"10.1.1.1"_s);
    // Typed and left by Enter in a field: kept.
    Ui::MultiplayerDialogUi& h = mp.open();
    h.serverPasswordEdit->setFocus();
    test::type(h.serverPasswordEdit, u"other"_s);
    QTest::keyClick(h.serverPasswordEdit, Qt::Key_Return);
    EXPECT_FALSE(mp.dialog.window()->isVisible());
    EXPECT_EQ(mp.dialog.form().serverPassword, u"other"_s);
}
