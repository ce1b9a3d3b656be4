// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/GameFiles.h"
#include "common/LineFile.h"
#include "ui/ModalDialog.h"

#include <memory>

class QListWidget;

namespace Ui {
class MusicDialogUi;
}
namespace gvt::platform {
struct GameInstall;
}

namespace gvt::music {

class MusicWindow;

// The Change Music dialog: lives as long as the main window and keeps the lines of Init.con
// last read; its window is built anew at every opening from the files on disk.
class MusicDialog {
public:
    explicit MusicDialog(const platform::GameInstall& game);
    ~MusicDialog();

    void run(QWidget* owner);
    // Builds the window and fills it without showing it (run() shows it).
    MusicWindow& open(QWidget* owner);
    MusicWindow* window() const { return m_window.get(); }

private:
    friend class MusicWindow;
    const platform::GameInstall& m_game;
    QString m_gameFolder;
    common::Lines m_initLines = common::Lines(10);
    ui::WindowSlot<MusicWindow> m_window;
};

class MusicWindow : public ui::ModalDialog {
    Q_OBJECT
public:
    MusicWindow(MusicDialog& dialog, QWidget* owner);
    ~MusicWindow() override;

    Ui::MusicDialogUi& controls() { return *m_ui; }

    void disableSelectedMp3();
    void enableSelectedMp3();
    void saveMenuMusic();

private:
    void fillMusicDialog();
    void readMenuMusic();
    // Moves the selected entry of `from` to `to`, renaming its file to the new extension.
    void moveSelected(QListWidget* from, QListWidget* to, const QString& newExtension);
    void refreshCounters();
    void refreshButtons();

    MusicDialog& m_dialog;
    std::unique_ptr<Ui::MusicDialogUi> m_ui;
    std::unique_ptr<common::FolderEntries> m_myMusic;
    bool m_initRead = false;
    QString m_readName;   // what readMenuMusic showed at this opening
    QString m_chosenName; // the entry chosen at this opening, if any
    quint64 m_moves = 0;  // the history's entry of this opening's moves
};

} // namespace gvt::music
