// The one test that meets real Wine: a fresh 64-bit prefix, GAMEDIR written as the game's
// 32-bit installer writes it, a Windows stand-in for the game, and a start from the main window.
#include "Fixtures.h"
#include "app/MainWindow.h"
#include "ui/SortedList.h"

#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

using namespace gvt;

namespace {
bool run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}
} // namespace

TEST(WineLaunch, TheGameStartsInItsPrefixWithTheWordsItsPlatformGivesIt) {
    if (QStandardPaths::findExecutable(u"wine"_s).isEmpty())
        GTEST_SKIP() << "Wine is not installed";
    test::SettingsHome home; // no settings-file GAMEDIR: the prefix must give it
    test::EnvironmentScope environment(
        {{"WINEDEBUG", "-all"}, {"WINEDLLOVERRIDES", "mscoree=;mshtml="}, {"WINE", {}}});
    ASSERT_TRUE(run(u"wine"_s, {u"wineboot"_s, u"-i"_s}));
    ASSERT_TRUE(
        run(u"wine"_s, {u"reg"_s, u"add"_s, u"HKLM\\Software\\Oxley Games\\Grimvale Tarsis"_s,
                        u"/v"_s, u"GAMEDIR"_s, u"/t"_s, u"REG_SZ"_s, u"/d"_s,
                        u"C:\\Games\\Grimvale Tarsis"_s, u"/reg:32"_s, u"/f"_s}));
    ASSERT_TRUE(run(u"wineserver"_s, {u"-w"_s})); // Wine writes system.reg as its server ends

    const QString game = home.prefix() + u"/drive_c/Games/Grimvale Tarsis"_s;
    for (const char* mod : {"GvTarsis", "My Mod"})
        ASSERT_TRUE(QDir().mkpath(game + u"/Mods/"_s + QString::fromLatin1(mod)));
    ASSERT_TRUE(QFile::copy(QStringLiteral(GVT_WINDOWS_STUB), game + u"/GVTarsis.exe"_s));
    ::chmod(QFile::encodeName(game + u"/GVTarsis.exe"_s).constData(), 0755); // as Wine leaves it

    // The launcher sits in the game folder, reached through the prefix's drive link.
    test::TestPlatform platform(home.prefix() + u"/dosdevices/c:/Games/Grimvale Tarsis"_s);
    test::MessageCapture messages;
    app::MainWindow window(platform.platform);
    auto* mods = window.findChild<QListWidget*>(u"modList"_s);
    EXPECT_EQ(ui::entriesOf(mods), (QStringList{u"Grimvale Tarsis"_s, u"My Mod"_s}));
    test::select(mods, u"My Mod"_s);
    QTest::mouseClick(window.findChild<QPushButton*>(u"startButton"_s), Qt::LeftButton);
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join(u'\n').toStdString();

    QFile record(game + u"/launch.txt"_s);
    for (QDeadlineTimer deadline(30000); !record.exists() && !deadline.hasExpired();)
        QTest::qWait(50);
    ASSERT_TRUE(record.open(QIODevice::ReadOnly)) << "the game did not start";
    const QStringList lines = QString::fromUtf8(record.readAll()).split(u'\n');
    EXPECT_EQ(lines.value(0), u"\"C:\\Games\\Grimvale Tarsis\\gvtarsis.exe\" +game My Mod"_s);
    EXPECT_EQ(lines.value(1), u"Z:"_s + QDir::currentPath().replace(u'/', u'\\'));
    run(u"wineserver"_s, {u"-w"_s});
}
