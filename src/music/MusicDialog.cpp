// SPDX-License-Identifier: GPL-3.0-or-later
#include "music/MusicDialog.h"

#include "common/GameFiles.h"
#include "common/GameFolder.h"
#include "music/MenuMusic.h"
#include "platform/GameInstall.h"
#include "platform/files/FileHistory.h"
#include "ui/MessageBox.h"
#include "ui/SortedList.h"
#include "ui_MusicDialog.h"

namespace gvt::music {

namespace {

QString withoutExtension(const QString& name) {
    return name.left(std::max<qsizetype>(0, name.size() - 4));
}

} // namespace

MusicDialog::MusicDialog(const platform::GameInstall& game) : m_game(game) {}

MusicDialog::~MusicDialog() = default;

void MusicDialog::run(QWidget* owner) {
    open(owner);
    m_window.runModal();
}

MusicWindow& MusicDialog::open(QWidget* owner) {
    return m_window.open(*this, owner);
}

MusicWindow::MusicWindow(MusicDialog& dialog, QWidget* owner)
    : ModalDialog(owner), m_dialog(dialog), m_ui(std::make_unique<Ui::MusicDialogUi>()) {
    m_ui->setupUi(this);
    ui::chooseByListOnly(m_ui->menuMusicCombo);
    ui::keepOneSelected(m_ui->enabledList);
    ui::keepOneSelected(m_ui->disabledList);
    fillMusicDialog();
    connect(m_ui->menuMusicCombo, &QComboBox::activated, this,
            [this](int index) { m_chosenName = ui::nameOf(m_ui->menuMusicCombo, index); });
    connect(m_ui->disableButton, &QPushButton::clicked, this, &MusicWindow::disableSelectedMp3);
    connect(m_ui->enableButton, &QPushButton::clicked, this, &MusicWindow::enableSelectedMp3);
    connect(m_ui->saveButton, &QPushButton::clicked, this, &MusicWindow::saveMenuMusic);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

MusicWindow::~MusicWindow() = default;

void MusicWindow::fillMusicDialog() {
    m_dialog.m_gameFolder = m_dialog.m_game.readGameFolder();
    const QString& folder = m_dialog.m_gameFolder;
    ui::fillSorted(m_ui->menuMusicCombo,
                   common::findNames(m_dialog.m_game,
                                     folder + QStringLiteral("\\Mods\\GVTarsis\\Music\\*.bik")));
    // My Music is read once, for both lists and for every move of this opening.
    m_myMusic = std::make_unique<common::FolderEntries>(
        m_dialog.m_game, folder + QStringLiteral("\\My Music"),
        QStringList{QStringLiteral("*.mp3"), QStringLiteral("*.bak")});
    ui::fillSorted(m_ui->enabledList, m_myMusic->matching(0));
    ui::fillSorted(m_ui->disabledList, m_myMusic->matching(1));
    refreshCounters();
    if (m_ui->enabledList->count() > 0)
        m_ui->enabledList->setCurrentRow(0);
    else
        m_ui->disableButton->setEnabled(false);
    if (m_ui->disabledList->count() > 0)
        m_ui->disabledList->setCurrentRow(0);
    else
        m_ui->enableButton->setEnabled(false);
    readMenuMusic();
}

void MusicWindow::readMenuMusic() {
    m_ui->menuMusicCombo->setCurrentIndex(-1);
    m_ui->menuMusicCombo->setEditText(QString());
    const auto lines =
        common::readLines(m_dialog.m_game, initConPath(m_dialog.m_gameFolder), kInitLineCount);
    if (!lines) {
        ui::showMessage(this, QStringLiteral("The file \"Init.con\" is missing or corrupt"),
                        ui::MessageIcon::Exclamation);
        m_ui->menuMusicCombo->setEnabled(false);
        return;
    }
    m_initRead = true;
    m_dialog.m_initLines = *lines;
    m_readName = menuMusicNameFrom(lines->at(4));
    m_ui->menuMusicCombo->setEditText(m_readName);
}

void MusicWindow::saveMenuMusic() {
    // Without a reading at this opening there is nothing sound to write back.
    if (!m_initRead)
        return;
    common::Lines lines = m_dialog.m_initLines;
    lines[4] = menuMusicLine(m_chosenName.isEmpty() ? m_readName : m_chosenName);
    const platform::HistoryAction save(m_dialog.m_gameFolder, QStringLiteral("Menu music saved"));
    if (const auto result =
            common::rewriteLeadingLines(m_dialog.m_game, initConPath(m_dialog.m_gameFolder), lines);
        result != platform::RewriteResult::Rewritten) {
        ui::showMessage(this, common::writeFailedMessage(QStringLiteral("Init.con"), result),
                        ui::MessageIcon::Exclamation);
        m_ui->menuMusicCombo->setEnabled(false);
    }
}

void MusicWindow::disableSelectedMp3() {
    moveSelected(m_ui->enabledList, m_ui->disabledList, QStringLiteral(".bak"));
}

void MusicWindow::enableSelectedMp3() {
    moveSelected(m_ui->disabledList, m_ui->enabledList, QStringLiteral(".mp3"));
}

void MusicWindow::moveSelected(QListWidget* from, QListWidget* to, const QString& newExtension) {
    QListWidgetItem* selected = from->currentItem();
    if (!selected || !selected->isSelected())
        return;
    // The entry chosen is renamed, whatever case twins stand beside it.
    const QString name = ui::nameOf(selected);
    const QString newName = withoutExtension(name) + newExtension;
    {
        const QSignalBlocker block(to);
        ui::insertSorted(to, newName);
    }
    // The moves of one opening are one entry, as long as nothing else was saved meanwhile.
    platform::HistoryAction move(m_dialog.m_gameFolder, QStringLiteral("1 MP3 file moved"),
                                 QStringLiteral("%1 MP3 files moved"), m_moves);
    const auto problem = m_myMusic->rename(name, newName);
    m_moves = move.id() != 0 ? move.id() : m_moves;
    if (problem) {
        ui::showMessage(this, *problem, ui::MessageIcon::Exclamation);
        return;
    }
    delete from->takeItem(from->row(selected));
    if (from->count() > 0)
        from->setCurrentRow(0);
    refreshCounters();
    refreshButtons();
}

void MusicWindow::refreshCounters() {
    m_ui->enabledCount->setText(QString::number(m_ui->enabledList->count()));
    m_ui->disabledCount->setText(QString::number(m_ui->disabledList->count()));
}

void MusicWindow::refreshButtons() {
    m_ui->enableButton->setEnabled(m_ui->disabledList->count() > 0);
    m_ui->disableButton->setEnabled(m_ui->enabledList->count() > 0);
}

} // namespace gvt::music
