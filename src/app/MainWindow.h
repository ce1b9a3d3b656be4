// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/GameInstall.h"
#include "ui/ModalDialog.h"

#include <memory>

class QMenu;
class QMenuBar;

namespace Ui {
class MainWindowUi;
}

namespace gvt::platform {
struct Platform;
}
namespace gvt::settings {
class SettingsDialog;
}
namespace gvt::multiplayer {
class MultiplayerDialog;
}
namespace gvt::music {
class MusicDialog;
}

namespace gvt::app {

// The launcher's only top-level window: banner, mod list, Start and Cancel, the menu bar with
// the editors, the "Profiles" popup and the About box. Closing it ends the program.
class MainWindow : public ui::ModalDialog {
    Q_OBJECT
public:
    // `game`: the game as the launcher found it when it started.
    MainWindow(platform::Platform& platform, platform::GameInstall game);
    ~MainWindow() override;

    QString gameFolder() const { return m_gameFolder; }
    QMenuBar* menuBar() const { return m_menuBar; }
    QMenu* profilesMenu();
    QMenu* optionsMenu();
    settings::SettingsDialog& settingsDialog() { return *m_settings; }
    multiplayer::MultiplayerDialog& multiplayerDialog() { return *m_multiplayer; }
    music::MusicDialog& musicDialog() { return *m_music; }

    // The "Start" button: the placement check, then the game with the selected mod.
    void launchSinglePlayer();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showBanner();
    void buildMenus();
    void runProfile(const QString& profile);
    void runAbout();
    void runRestore();

    platform::Platform& m_platform;
    const platform::GameInstall m_game; // the editors hold it while the window lives
    std::unique_ptr<Ui::MainWindowUi> m_ui;
    std::unique_ptr<multiplayer::MultiplayerDialog> m_multiplayer;
    QString m_gameFolder;
    std::unique_ptr<music::MusicDialog> m_music;
    std::unique_ptr<settings::SettingsDialog> m_settings;
    QMenuBar* m_menuBar = nullptr;
    QMenu* m_profilesMenu = nullptr;
    bool m_tuneStarted = false;
    bool m_bannerFollowsScreen = false;
    QString m_notFound; // what to tell once the window is on screen
};

} // namespace gvt::app
