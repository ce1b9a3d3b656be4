// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "multiplayer/MultiplayerForm.h"
#include "ui/ModalDialog.h"

#include <memory>

namespace Ui {
class MultiplayerDialogUi;
}
namespace gvt::platform {
struct GameInstall;
struct Platform;
} // namespace gvt::platform

namespace gvt::multiplayer {

class MultiplayerWindow;

// The Multiplayer dialog: lives as long as the main window and keeps its form between
// openings; its window is built anew at every opening.
class MultiplayerDialog {
public:
    MultiplayerDialog(platform::Platform& platform, const platform::GameInstall& game);
    ~MultiplayerDialog();

    // Builds the window over `owner` and runs it modally.
    void run(QWidget* owner);
    // Builds the window and runs its opening steps without showing it (run() shows it).
    MultiplayerWindow& open(QWidget* owner);
    MultiplayerWindow* window() const { return m_window.get(); }
    const MultiplayerForm& form() const { return m_form; }

private:
    friend class MultiplayerWindow;
    platform::Platform& m_platform;
    const platform::GameInstall& m_game;
    MultiplayerForm m_form;
    ui::WindowSlot<MultiplayerWindow> m_window;
};

class MultiplayerWindow : public ui::ModalDialog {
    Q_OBJECT
public:
    MultiplayerWindow(MultiplayerDialog& dialog, QWidget* owner);
    ~MultiplayerWindow() override;

    Ui::MultiplayerDialogUi& controls() { return *m_ui; }

    // Enter closes the dialog as OK: the form takes the controls' values first.
    void accept() override;

    // The Start button ("Host" or "Join"): the form takes the controls' values first.
    void startGame();

private:
    void hostGame();
    void joinGame();
    void launch(const QString& arguments);
    void takeValues();
    void showValues();
    void switchMode(MultiplayerForm::Mode mode);
    void changeMod();
    void moveMap(bool toRotation);
    void clickCoop();

    MultiplayerDialog& m_dialog;
    MultiplayerForm& m_form;
    std::unique_ptr<Ui::MultiplayerDialogUi> m_ui;
};

} // namespace gvt::multiplayer
