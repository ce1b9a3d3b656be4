// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/ConfigSection.h"
#include "settings/ProfileSettings.h"
#include "ui/ModalDialog.h"

#include <memory>

class QCheckBox;
class QLabel;
class QSlider;

namespace Ui {
class SettingsDialogUi;
}
namespace gvt::platform {
struct GameInstall;
}

namespace gvt::settings {

class SettingsWindow;

// The Settings dialog: lives as long as the main window and keeps its settings record between
// openings; its window is built anew at every opening and loads the profile "Custom".
class SettingsDialog {
public:
    explicit SettingsDialog(const platform::GameInstall& game);
    ~SettingsDialog();

    void run(QWidget* owner);
    // Opens as usual, then loads `profile` as a choice in the Profile list would.
    void run(QWidget* owner, const QString& profile);
    // Builds the window and runs its opening load without showing it (run() shows it).
    SettingsWindow& open(QWidget* owner);
    SettingsWindow* window() const { return m_window.get(); }
    const ProfileSettings& settings() const { return m_settings; }

private:
    friend class SettingsWindow;
    const platform::GameInstall& m_game;
    ProfileSettings m_settings;
    ConfigSection m_config;
    ui::WindowSlot<SettingsWindow> m_window;
};

class SettingsWindow : public ui::ModalDialog {
    Q_OBJECT
public:
    SettingsWindow(SettingsDialog& dialog, QWidget* owner);
    ~SettingsWindow() override;

    Ui::SettingsDialogUi& controls() { return *m_ui; }

    // Enter closes the dialog as OK: the Name field goes into the record, nothing is saved.
    void accept() override;

    // A choice in the Profile list.
    void loadChosenProfile(const QString& profile);
    // The Save button.
    void saveProfile();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadOnOpening();
    void readProfileFiles();
    void setLabels();
    void setChecksAndConfig();
    void showRecord();
    void setSliderPositions();
    void setConfig(const char* name, const QString& value);
    void clickCheck(QCheckBox* box, const char* configName, const char* checked,
                    const char* unchecked);

    SettingsDialog& m_dialog;
    ProfileSettings& m_settings;
    ConfigSection& m_config;
    std::unique_ptr<Ui::SettingsDialogUi> m_ui;
    // The Profile entry refused last, which the arrow keys and the wheel pass over; -1 for none.
    int m_refusedRow = -1;
};

} // namespace gvt::settings
