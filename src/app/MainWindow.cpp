// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"

#include "app/AboutDialog.h"
#include "app/AppIcon.h"
#include "app/RestoreDialog.h"
#include "common/GameFolder.h"
#include "common/GameLaunch.h"
#include "multiplayer/MultiplayerDialog.h"
#include "music/MusicDialog.h"
#include "platform/Platform.h"
#include "settings/SettingsDialog.h"
#include "ui/MessageBox.h"
#include "ui/SortedList.h"
#include "ui_MainWindow.h"

#include <QIcon>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace gvt::app {

namespace {

// The banner for a screen of this scale: above scale 1 its art drawn at twice the size, so that
// it is as sharp at 200% as at 100%; at other scales that art smoothly fitted.
QPixmap bannerFor(qreal scale) {
    if (scale <= 1)
        return QPixmap(QStringLiteral(":/images/banner.bmp"));
    QPixmap art(QStringLiteral(":/images/banner@2x.png"));
    art.setDevicePixelRatio(2);
    if (qFuzzyCompare(scale, 2.0))
        return art;
    QPixmap fitted = art.scaled((art.deviceIndependentSize() * scale).toSize(),
                                Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    fitted.setDevicePixelRatio(scale);
    return fitted;
}

} // namespace

MainWindow::MainWindow(platform::Platform& platform, platform::GameInstall game)
    : m_platform(platform), m_game(std::move(game)), m_ui(std::make_unique<Ui::MainWindowUi>()),
      m_multiplayer(std::make_unique<multiplayer::MultiplayerDialog>(platform, m_game)),
      m_music(std::make_unique<music::MusicDialog>(m_game)),
      m_settings(std::make_unique<settings::SettingsDialog>(m_game)) {
    m_ui->setupUi(this);
    ui::keepOneSelected(m_ui->modList);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    m_ui->banner->setPixmap(bannerFor(devicePixelRatioF()));
    connect(m_ui->startButton, &QPushButton::clicked, this, &MainWindow::launchSinglePlayer);
    // A game that dies at once under Wine is otherwise invisible: told over this window, whoever
    // started it.
    m_platform.processes.setEndedAtOnceHandler([this](int status) {
        ui::showMessage(this, common::endedAtOnceMessage(status), ui::MessageIcon::Information);
    });
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    m_gameFolder = m_game.gameFolder;
    if (m_gameFolder.isEmpty())
        m_notFound = common::gameNotFoundMessage(m_game.lookedIn);
    // The bar's titles show at once; their popups are made right after the first paint.
    m_menuBar = new QMenuBar(this);
    m_menuBar->setAccessibleName(QStringLiteral("Menu bar"));
    layout()->setMenuBar(m_menuBar);
    for (const char* title : {"&Options", "Profiles", "&?"})
        m_menuBar->addAction(QString::fromLatin1(title));
    ui::fillSorted(m_ui->modList, [this] {
        QStringList shown;
        for (const QString& folder : common::listModFolders(m_game, m_gameFolder))
            shown.append(common::displayNameOf(folder));
        return shown;
    }());
    if (m_ui->modList->count() > 0)
        m_ui->modList->setCurrentRow(0);
    setWindowIcon(appIcon());
    m_ui->startButton->setFocus();
}

MainWindow::~MainWindow() {
    m_platform.processes.setEndedAtOnceHandler({});
}

void MainWindow::showEvent(QShowEvent* event) {
    ModalDialog::showEvent(event);
    // Made before the window knew its screen; drawn again for each screen it goes to.
    if (!m_bannerFollowsScreen) {
        m_bannerFollowsScreen = true;
        connect(windowHandle(), &QWindow::screenChanged, this, &MainWindow::showBanner);
    }
    showBanner();
}

void MainWindow::showBanner() {
    if (!qFuzzyCompare(m_ui->banner->pixmap().devicePixelRatio(), devicePixelRatioF()))
        m_ui->banner->setPixmap(bannerFor(devicePixelRatioF()));
}

void MainWindow::paintEvent(QPaintEvent* event) {
    ModalDialog::paintEvent(event);
    // The sound and the menus come once the window is first on screen: it waits for neither.
    if (!m_tuneStarted) {
        m_tuneStarted = true;
        QTimer::singleShot(0, this, [this] {
            m_platform.sound.startTune();
            buildMenus();
            // Told once, over the window that could not find its game.
            if (!m_notFound.isEmpty())
                ui::showMessage(this, std::exchange(m_notFound, QString()),
                                ui::MessageIcon::Information);
        });
    }
}

QMenu* MainWindow::profilesMenu() {
    buildMenus();
    return m_profilesMenu;
}

QMenu* MainWindow::optionsMenu() {
    buildMenus();
    return m_menuBar->actions().constFirst()->menu();
}

void MainWindow::buildMenus() {
    if (m_profilesMenu)
        return;
    const QList<QAction*> titles = m_menuBar->actions();
    auto* options = new QMenu(m_menuBar);
    titles[0]->setMenu(options);
    connect(options->addAction(QStringLiteral("Change &MP3's")), &QAction::triggered, this,
            [this] { m_music->run(this); });
    connect(options->addAction(QStringLiteral("Change &Settings")), &QAction::triggered, this,
            [this] { m_settings->run(this); });
    connect(options->addAction(QStringLiteral("Multiplayer")), &QAction::triggered, this,
            [this] { m_multiplayer->run(this); });
    options->addSeparator();
    connect(options->addAction(QStringLiteral("&Restore Earlier Files...")), &QAction::triggered,
            this, &MainWindow::runRestore);

    // Each profile goes to the top, so the popup shows them in reverse search order.
    m_profilesMenu = new QMenu(m_menuBar);
    titles[1]->setMenu(m_profilesMenu);
    for (const QString& profile : common::listProfileFolders(m_game, m_gameFolder)) {
        auto* action = new QAction(profile, m_profilesMenu);
        const QList<QAction*> existing = m_profilesMenu->actions();
        m_profilesMenu->insertAction(existing.isEmpty() ? nullptr : existing.first(), action);
        connect(action, &QAction::triggered, this, [this, profile] { runProfile(profile); });
    }

    auto* help = new QMenu(m_menuBar);
    titles[2]->setMenu(help);
    connect(help->addAction(QStringLiteral("&About...")), &QAction::triggered, this,
            &MainWindow::runAbout);
}

void MainWindow::runProfile(const QString& profile) {
    m_settings->run(this, profile);
}

void MainWindow::runRestore() {
    RestoreDialog restore(m_game, this);
    restore.exec();
}

void MainWindow::runAbout() {
    AboutDialog about(this);
    about.exec();
}

void MainWindow::launchSinglePlayer() {
    if (!common::isPlacedInGameFolder(m_platform, m_game, m_gameFolder)) {
        ui::showMessage(this, QString::fromLatin1(common::kPlacementMessage),
                        ui::MessageIcon::Information);
        return;
    }
    const QListWidgetItem* selected = m_ui->modList->currentItem();
    const QString shown = selected && selected->isSelected() ? ui::nameOf(selected) : QString();
    if (const auto problem =
            common::startGame(m_platform, m_game, m_gameFolder,
                              common::singlePlayerArguments(common::folderNameOf(shown))))
        ui::showMessage(this, *problem, ui::MessageIcon::Exclamation);
}

} // namespace gvt::app
