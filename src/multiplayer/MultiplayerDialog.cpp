// SPDX-License-Identifier: GPL-3.0-or-later
#include "multiplayer/MultiplayerDialog.h"

#include "common/GameFolder.h"
#include "common/GameLaunch.h"
#include "multiplayer/HostJoin.h"
#include "multiplayer/MapRotation.h"
#include "multiplayer/ServerSettingsFile.h"
#include "platform/GameInstall.h"
#include "platform/files/FileHistory.h"
#include "ui/MessageBox.h"
#include "ui/SortedList.h"
#include "ui_MultiplayerDialog.h"

namespace gvt::multiplayer {

MultiplayerDialog::MultiplayerDialog(platform::Platform& platform,
                                     const platform::GameInstall& game)
    : m_platform(platform), m_game(game) {}

MultiplayerDialog::~MultiplayerDialog() = default;

void MultiplayerDialog::run(QWidget* owner) {
    open(owner);
    m_window.runModal();
}

MultiplayerWindow& MultiplayerDialog::open(QWidget* owner) {
    return m_window.open(*this, owner);
}

MultiplayerWindow::MultiplayerWindow(MultiplayerDialog& dialog, QWidget* owner)
    : ModalDialog(owner), m_dialog(dialog), m_form(dialog.m_form),
      m_ui(std::make_unique<Ui::MultiplayerDialogUi>()) {
    m_ui->setupUi(this);
    for (QListWidget* list : {m_ui->modList, m_ui->disabledList, m_ui->enabledList})
        ui::keepOneSelected(list);

    m_form.numberOfRounds = QStringLiteral("1");
    m_form.maxPlayers = QStringLiteral("16");
    m_form.roundTime = QStringLiteral("0");
    m_form.spawnTime = QStringLiteral("0");
    m_form.startDelay = QStringLiteral("0");
    m_form.serverName = QStringLiteral("My Server");
    m_form.gameFolder = dialog.m_game.readGameFolder();

    QStringList mods;
    for (const QString& folder : common::listModFolders(m_dialog.m_game, m_form.gameFolder))
        mods.append(common::displayNameOf(folder));
    ui::fillSorted(m_ui->modList, mods);
    ui::fillSorted(m_ui->disabledList,
                   listMaps(m_dialog.m_game, m_form.gameFolder, QStringLiteral("GvTarsis")));
    // The base game's maps stay listed whichever mod comes first.
    if (m_ui->modList->count() > 0)
        m_ui->modList->setCurrentRow(0);
    m_form.mode = MultiplayerForm::Mode::Server;
    readServerSettings(m_dialog.m_game, m_form, this);

    m_ui->friendlyFireSoldiersSlider->setRange(0, 100);
    m_ui->friendlyFireVehiclesSlider->setRange(0, 100);
    m_ui->ticketRatioSlider->setRange(10, 1000);
    m_ui->aiSkillSlider->setRange(0, 100);
    m_form.ticketRatio = m_form.friendlyFireSoldiers = m_form.friendlyFireVehicles =
        m_form.aiSkill = 100;
    showValues();

    const std::pair<QSlider*, QLabel*> valueLabels[] = {
        {m_ui->ticketRatioSlider, m_ui->ticketRatioValue},
        {m_ui->friendlyFireSoldiersSlider, m_ui->friendlyFireSoldiersValue},
        {m_ui->friendlyFireVehiclesSlider, m_ui->friendlyFireVehiclesValue},
        {m_ui->aiSkillSlider, m_ui->aiSkillValue}};
    for (const auto& [slider, label] : valueLabels) {
        label->setText(QString::number(slider->value()));
        connect(slider, &QSlider::valueChanged, label,
                [shown = label](int value) { shown->setText(QString::number(value)); });
    }

    connect(m_ui->modList, &QListWidget::currentRowChanged, this, &MultiplayerWindow::changeMod);
    for (QListWidget* maps : {m_ui->disabledList, m_ui->enabledList})
        connect(maps, &QListWidget::currentRowChanged, this, [this] {
            takeValues();
            showValues();
        });
    connect(m_ui->enableMapButton, &QPushButton::clicked, this, [this] { moveMap(true); });
    connect(m_ui->disableMapButton, &QPushButton::clicked, this, [this] { moveMap(false); });
    connect(m_ui->serverRadio, &QRadioButton::clicked, this,
            [this] { switchMode(MultiplayerForm::Mode::Server); });
    connect(m_ui->clientRadio, &QRadioButton::clicked, this,
            [this] { switchMode(MultiplayerForm::Mode::Client); });
    connect(m_ui->coopCheck, &QCheckBox::clicked, this, &MultiplayerWindow::clickCoop);
    connect(m_ui->startButton, &QPushButton::clicked, this, &MultiplayerWindow::startGame);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

MultiplayerWindow::~MultiplayerWindow() = default;

void MultiplayerWindow::takeValues() {
    m_form.mode = m_ui->clientRadio->isChecked() ? MultiplayerForm::Mode::Client
                                                 : MultiplayerForm::Mode::Server;
    m_form.dedicated = m_ui->dedicatedCheck->isChecked();
    m_form.clientInternet = m_ui->clientInternetCheck->isChecked();
    m_form.ipAddress = m_ui->ipAddressEdit->text();
    m_form.clientPassword = m_ui->clientPasswordEdit->text();
    m_form.serverName = m_ui->serverNameEdit->text();
    m_form.maxPlayers = m_ui->maxPlayersEdit->text();
    m_form.serverPassword = m_ui->serverPasswordEdit->text();
    m_form.roundTime = m_ui->roundTimeEdit->text();
    m_form.numberOfRounds = m_ui->numberOfRoundsEdit->text();
    m_form.spawnTime = m_ui->spawnTimeEdit->text();
    m_form.startDelay = m_ui->startDelayEdit->text();
    m_form.ticketRatio = m_ui->ticketRatioSlider->value();
    m_form.friendlyFireSoldiers = m_ui->friendlyFireSoldiersSlider->value();
    m_form.friendlyFireVehicles = m_ui->friendlyFireVehiclesSlider->value();
    m_form.aiSkill = m_ui->aiSkillSlider->value();
    m_form.serverInternet = m_ui->serverInternetCheck->isChecked();
    m_form.coop = m_ui->coopCheck->isChecked();
}

void MultiplayerWindow::showValues() {
    const bool server = m_form.mode == MultiplayerForm::Mode::Server;
    m_ui->serverRadio->setChecked(server);
    m_ui->clientRadio->setChecked(!server);
    m_ui->dedicatedCheck->setChecked(m_form.dedicated);
    m_ui->clientInternetCheck->setChecked(m_form.clientInternet);
    m_ui->ipAddressEdit->setText(m_form.ipAddress);
    m_ui->clientPasswordEdit->setText(m_form.clientPassword);
    m_ui->serverNameEdit->setText(m_form.serverName);
    m_ui->maxPlayersEdit->setText(m_form.maxPlayers);
    m_ui->serverPasswordEdit->setText(m_form.serverPassword);
    m_ui->roundTimeEdit->setText(m_form.roundTime);
    m_ui->numberOfRoundsEdit->setText(m_form.numberOfRounds);
    m_ui->spawnTimeEdit->setText(m_form.spawnTime);
    m_ui->startDelayEdit->setText(m_form.startDelay);
    m_ui->ticketRatioSlider->setValue(m_form.ticketRatio);
    m_ui->friendlyFireSoldiersSlider->setValue(m_form.friendlyFireSoldiers);
    m_ui->friendlyFireVehiclesSlider->setValue(m_form.friendlyFireVehicles);
    m_ui->aiSkillSlider->setValue(m_form.aiSkill);
    m_ui->serverInternetCheck->setChecked(m_form.serverInternet);
    m_ui->coopCheck->setChecked(m_form.coop);
}

void MultiplayerWindow::accept() {
    takeValues();
    ModalDialog::accept();
}

void MultiplayerWindow::switchMode(MultiplayerForm::Mode mode) {
    takeValues();
    m_form.mode = mode;
    const bool server = mode == MultiplayerForm::Mode::Server;
    m_ui->startButton->setText(server ? QStringLiteral("Host") : QStringLiteral("Join"));
    if (!server)
        m_form.dedicated = false;
    for (QWidget* widget : std::initializer_list<QWidget*>{
             m_ui->coopCheck, m_ui->dedicatedCheck, m_ui->serverNameEdit, m_ui->serverPasswordEdit,
             m_ui->maxPlayersEdit, m_ui->numberOfRoundsEdit, m_ui->roundTimeEdit,
             m_ui->spawnTimeEdit, m_ui->startDelayEdit, m_ui->friendlyFireSoldiersSlider,
             m_ui->friendlyFireVehiclesSlider, m_ui->ticketRatioSlider, m_ui->serverInternetCheck,
             m_ui->enabledList, m_ui->disabledList, m_ui->enableMapButton})
        widget->setEnabled(server);
    for (QWidget* widget : std::initializer_list<QWidget*>{
             m_ui->ipAddressEdit, m_ui->clientPasswordEdit, m_ui->clientInternetCheck})
        widget->setEnabled(!server);
    if (!server)
        m_ui->aiSkillSlider->setEnabled(false);
    else if (m_form.coop)
        m_ui->aiSkillSlider->setEnabled(true);
    showValues();
}

void MultiplayerWindow::clickCoop() {
    const bool checked = m_ui->coopCheck->isChecked();
    m_ui->aiSkillSlider->setEnabled(checked);
    m_ui->aiSkillValue->setEnabled(checked);
    m_ui->aiSkillLabel->setEnabled(checked);
}

void MultiplayerWindow::changeMod() {
    // What was typed survives the change: the form takes it before the maps are listed.
    takeValues();
    const QListWidgetItem* item = m_ui->modList->currentItem();
    const QString folder = common::folderNameOf(item ? ui::nameOf(item) : QString());
    ui::fillSorted(m_ui->disabledList, listMaps(m_dialog.m_game, m_form.gameFolder, folder));
    if (m_ui->disabledList->count() > 0)
        m_ui->disabledList->setCurrentRow(0);
    showValues();
}

void MultiplayerWindow::moveMap(bool toRotation) {
    takeValues();
    QListWidget* from = toRotation ? m_ui->disabledList : m_ui->enabledList;
    QListWidget* to = toRotation ? m_ui->enabledList : m_ui->disabledList;
    QListWidgetItem* selected = from->currentItem();
    if (selected && selected->isSelected()) {
        const bool moreLeft = from->count() > 1;
        m_ui->enableMapButton->setEnabled(toRotation ? moreLeft : true);
        m_ui->disableMapButton->setEnabled(toRotation ? true : moreLeft);
        const QString name = ui::nameOf(selected);
        {
            // The moved map takes its sorted place; the other list's selection stays put.
            const QSignalBlocker blockTo(to);
            ui::insertSorted(to, name);
        }
        delete from->takeItem(from->row(selected));
        if (from->count() > 0)
            from->setCurrentRow(0);
    }
    showValues();
}

void MultiplayerWindow::startGame() {
    takeValues();
    if (m_form.mode == MultiplayerForm::Mode::Server)
        hostGame();
    else
        joinGame();
}

namespace {
QString selectedModFolder(const QListWidget* mods) {
    const QList<QListWidgetItem*> selected = mods->selectedItems();
    return common::folderNameOf(selected.isEmpty() ? QString() : ui::nameOf(selected.first()));
}
} // namespace

void MultiplayerWindow::hostGame() {
    {
        // The server settings and the rotation are one save, undone together.
        const platform::HistoryAction host(m_form.gameFolder, QStringLiteral("Server hosted"));
        writeServerSettings(m_dialog.m_game, m_form, this);
        writeMapList(m_dialog.m_game, m_form.gameFolder, ui::entriesOf(m_ui->enabledList), this);
    }
    if (!common::isPlacedInGameFolder(m_dialog.m_platform, m_dialog.m_game, m_form.gameFolder)) {
        ui::showMessage(this, QString::fromLatin1(common::kPlacementMessage),
                        ui::MessageIcon::Information);
        return;
    }
    launch(hostArguments(selectedModFolder(m_ui->modList)));
}

void MultiplayerWindow::joinGame() {
    if (!common::isPlacedInGameFolder(m_dialog.m_platform, m_dialog.m_game, m_form.gameFolder)) {
        ui::showMessage(this, QString::fromLatin1(common::kPlacementMessage),
                        ui::MessageIcon::Information);
        return;
    }
    if (m_form.ipAddress.isEmpty()) {
        ui::showMessage(this, QString::fromLatin1(kAddressMessage), ui::MessageIcon::Information);
        return;
    }
    launch(joinArguments(selectedModFolder(m_ui->modList), m_form.ipAddress, m_form.clientInternet,
                         m_form.clientPassword));
}

void MultiplayerWindow::launch(const QString& arguments) {
    if (const auto problem =
            common::startGame(m_dialog.m_platform, m_dialog.m_game, m_form.gameFolder, arguments))
        ui::showMessage(this, *problem, ui::MessageIcon::Exclamation);
}

} // namespace gvt::multiplayer
