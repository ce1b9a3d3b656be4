// SPDX-License-Identifier: GPL-3.0-or-later
// The one test that meets real Wine: a fresh 64-bit prefix, GAMEDIR written as the game's
// 32-bit installer writes it, a Windows stand-in for the game, and a start from the main window.
#include "Fixtures.h"
#include "app/MainWindow.h"

#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

using namespace gvt;

TEST(WineLaunch, TheGameStartsInItsPrefixWithTheWordsItsPlatformGivesIt) {
    if (QStandardPaths::findExecutable(u"wine"_s).isEmpty())
        GTEST_SKIP() << "Wine is not installed";
    test::SettingsHome home; // no settings-file GAMEDIR: the prefix must give it
    test::EnvironmentScope environment(
        {{"WINEDEBUG", "-all"}, {"WINEDLLOVERRIDES", "mscoree=;mshtml="}, {"WINE", {}}});
    // Making the prefix has failed now and then on a busy machine ("could not load
    // kernel32.dll"), so it gets a second try before the test gives up.
    const auto boot = [] { return QProcess::execute(u"wine"_s, {u"wineboot"_s, u"-i"_s}); };
    if (boot() != 0) {
        QProcess::execute(u"wineserver"_s, {u"-k"_s});
        ASSERT_EQ(boot(), 0);
    }
    ASSERT_EQ(QProcess::execute(u"wine"_s,
                                test::names("reg|add|HKLM\\Software\\Oxley Games\\Grimvale "
                                            "Tarsis|/v|GAMEDIR|/t|REG_SZ|/d|C:\\Games\\Grimvale "
                                            "Tarsis|/reg:32|/f")),
              0);
    QProcess::execute(u"wineserver"_s, {u"-w"_s}); // Wine writes system.reg as its server ends

    const QString game = home.prefix() + u"/drive_c/Games/Grimvale Tarsis"_s;
    for (const char* mod : {"GvTarsis", "My Mod"})
        ASSERT_TRUE(QDir().mkpath(game + u"/Mods/"_s + QString::fromLatin1(mod)));
    ASSERT_TRUE(QFile::copy(QStringLiteral(GVT_WINDOWS_STUB), game + u"/GVTarsis.exe"_s));
    ::chmod(QFile::encodeName(game + u"/GVTarsis.exe"_s).constData(), 0755); // as Wine leaves it

    // The prefix is a Lutris game's, which runs it with the system's Wine, a variable of its own
    // and DLL overrides: the game sees both.
    home.addFile(u".config/lutris/games/gt-1700000000.yml"_s,
                 "game:\n  prefix: " + QFile::encodeName(home.prefix()) +
                     "\nsystem:\n  env:\n    GT_SEEN: Lutris ünd Wine\nwine:\n  version: system\n"
                     "  overrides:\n    mscoree: disabled\n    mshtml: ''\n");
    // The launcher sits in the game folder, reached through the prefix's drive link and named by
    // $WINEPREFIX; then in a prefix that neither $WINEPREFIX nor ~/.wine names: it finds its own.
    for (const bool named : {true, false}) {
        SCOPED_TRACE(named);
        test::EnvironmentScope prefixNamed(
            {{"WINEPREFIX", named ? QFile::encodeName(home.prefix()) : QByteArray()}});
        test::TestPlatform platform(
            named ? home.prefix() + u"/dosdevices/c:/Games/Grimvale Tarsis"_s : game);
        test::MessageCapture messages;
        app::MainWindow window(platform.platform, platform.findGame());
        auto* mods = window.findChild<QListWidget*>(u"modList"_s);
        test::select(mods, u"My Mod"_s);
        QTest::mouseClick(window.findChild<QPushButton*>(u"startButton"_s), Qt::LeftButton);
        EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join(u'\n').toStdString();

        QFile record(game + u"/launch.txt"_s);
        (void)QTest::qWaitFor([&record] { return record.exists(); }, 30000);
        ASSERT_TRUE(record.open(QIODevice::ReadOnly)) << "the game did not start";
        const QStringList lines = QString::fromUtf8(record.readAll()).split(u'\n');
        record.remove();
        EXPECT_EQ(lines.value(0), u"\"C:\\Games\\Grimvale Tarsis\\gvtarsis.exe\" +game My Mod"_s);
        EXPECT_EQ(lines.value(1), u"Z:"_s + QDir::currentPath().replace(u'/', u'\\'));
        EXPECT_EQ(lines.value(2), home.prefix());
        EXPECT_EQ(lines.value(3), u"Lutris ünd Wine"_s);
        EXPECT_EQ(lines.value(4), u"mscoree,mshtml,winemenubuilder="_s);
        test::EnvironmentScope inPrefix({{"WINEPREFIX", QFile::encodeName(home.prefix())}});
        QProcess::execute(u"wineserver"_s, {u"-w"_s});
    }
}
