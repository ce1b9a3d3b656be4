// SPDX-License-Identifier: GPL-3.0-or-later
// What the window system draws in each title bar: the window's X property _NET_WM_NAME, read by
// xprop from a real X server, for every window and message box of the program.
#include "Fixtures.h"
#include "app/AboutDialog.h"
#include "app/MainWindow.h"
#include "app/ModManagerApp.h"
#include "multiplayer/MultiplayerDialog.h"
#include "music/MusicDialog.h"
#include "settings/SettingsDialog.h"

#include <QMessageBox>
#include <QProcess>
#include <QTimer>

using namespace gvt;

namespace {

QString titleBarOf(QWidget* window) {
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    QProcess xprop;
    xprop.start(u"xprop"_s, {u"-id"_s, QString::number(window->winId()), u"_NET_WM_NAME"_s});
    xprop.waitForFinished();
    // _NET_WM_NAME(UTF8_STRING) = "…"
    const QString line = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype quote = line.indexOf(u'"');
    return quote < 0 ? line : line.mid(quote + 1).chopped(1);
}

} // namespace

TEST(TitleBars, EveryWindowShowsItsCaptionAndNothingElse) {
    app::ModManagerApp::setUpApplication();
    test::Game game;
    app::MainWindow window(game.platform.platform, game.platform.findGame());
    window.show();
    EXPECT_EQ(titleBarOf(&window), u"GVTarsis Mod Manager 1.2"_s);
    app::AboutDialog about(&window);
    const std::pair<QDialog*, QString> dialogs[] = {
        {&window.settingsDialog().open(&window), u"Settings"_s},
        {&window.multiplayerDialog().open(&window), u"Multiplayer"_s},
        {&window.musicDialog().open(&window), u"Change Music"_s},
        {&about, u"About the Mod Manager"_s}};
    for (const auto& [dialog, caption] : dialogs) {
        dialog->show();
        EXPECT_EQ(titleBarOf(dialog), caption);
        dialog->hide();
    }
    // A message box as the program shows it, read while it waits for its OK.
    ui::setMessageCapture({});
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        shown = titleBarOf(box);
        box->accept();
    });
    ui::showMessage(&window, u"The file \"Init.con\" is missing or corrupt"_s,
                    ui::MessageIcon::Exclamation);
    EXPECT_EQ(shown, u"Error"_s);
}

int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
