// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/ModalDialog.h"

#include <QByteArray>

#include <memory>

namespace Ui {
class RestoreDialogUi;
}
namespace gvt::platform {
class History;
struct GameInstall;
} // namespace gvt::platform

namespace gvt::app {

// "Restore Earlier Files": the history of the game folder's saves, newest first, what the
// selected one changed, and Restore, which puts its files back as they were before it. Built
// anew for each opening.
class RestoreDialog : public ui::ModalDialog {
    Q_OBJECT
public:
    RestoreDialog(const platform::GameInstall& game, QWidget* owner);
    ~RestoreDialog() override;

    Ui::RestoreDialogUi& controls() { return *m_ui; }

    // The Restore button: the selected save's files back as they were just before it, after
    // asking about any that another program changed since; itself a save, which can be undone.
    void restoreSelected();

private:
    void showSaves();
    void showChanges(int row);
    QString shownPath(const QByteArray& path) const;

    const platform::GameInstall& m_game;
    std::unique_ptr<Ui::RestoreDialogUi> m_ui;
    std::unique_ptr<platform::History> m_history;
    QString m_gameFolder;
    QByteArray m_gameOnDisk; // the game folder's real path, which paths are shown from
};

} // namespace gvt::app
