// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsDialog.h"

#include "common/GameFolder.h"
#include "common/LineFile.h"
#include "platform/GameInstall.h"
#include "platform/files/FileHistory.h"
#include "settings/IntroMovies.h"
#include "settings/ProfileFiles.h"
#include "ui/MessageBox.h"
#include "ui/SortedList.h"
#include "ui_SettingsDialog.h"

#include <QKeyEvent>
#include <QWheelEvent>

namespace gvt::settings {

namespace {

void setLevel(QLabel* label, LevelScale scale, const QString& value) {
    const QString text = levelLabel(scale, value);
    if (!text.isEmpty())
        label->setText(text);
}

void setNumberLabel(QLabel* label, const QString& value) {
    label->setText(value.isEmpty() ? QStringLiteral("[ERROR]") : value);
}

// The entries a key or a turn of the wheel steps the Profile box by (-1 up, 1 down), or 0.
int stepOf(const QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        const int turn = static_cast<const QWheelEvent*>(event)->angleDelta().y();
        return turn > 0 ? -1 : turn < 0 ? 1 : 0;
    }
    if (event->type() != QEvent::KeyPress)
        return 0;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier))
        return 0;
    const int k = key->key();
    return k == Qt::Key_Up || k == Qt::Key_PageUp       ? -1
           : k == Qt::Key_Down || k == Qt::Key_PageDown ? 1
                                                        : 0;
}

} // namespace

SettingsDialog::SettingsDialog(const platform::GameInstall& game) : m_game(game) {}

SettingsDialog::~SettingsDialog() = default;

SettingsWindow& SettingsDialog::open(QWidget* owner) {
    return m_window.open(*this, owner);
}

void SettingsDialog::run(QWidget* owner) {
    open(owner);
    m_window.runModal();
}

void SettingsDialog::run(QWidget* owner, const QString& profile) {
    open(owner).loadChosenProfile(profile);
    m_window.runModal();
}

SettingsWindow::SettingsWindow(SettingsDialog& dialog, QWidget* owner)
    : ModalDialog(owner), m_dialog(dialog), m_settings(dialog.m_settings),
      m_config(dialog.m_config), m_ui(std::make_unique<Ui::SettingsDialogUi>()) {
    m_ui->setupUi(this);
    loadOnOpening();

    const std::tuple<QSlider*, QLabel*, std::optional<LevelScale>> sliders[] = {
        {m_ui->textureQualitySlider, m_ui->textureQualityLevel, LevelScale::Quality},
        {m_ui->graphicsQualitySlider, m_ui->graphicsQualityLevel, LevelScale::Percent},
        {m_ui->geometryQualitySlider, m_ui->geometryQualityLevel, LevelScale::Quality},
        {m_ui->occlusionSlider, m_ui->occlusionLevel, LevelScale::Occlusion},
        {m_ui->masterVolumeSlider, m_ui->masterVolumeLevel, std::nullopt},
        {m_ui->menuMusicVolumeSlider, m_ui->menuMusicVolumeLevel, std::nullopt},
        {m_ui->channelsSlider, m_ui->channelsLevel, std::nullopt}};
    for (const auto& [slider, label, scale] : sliders) {
        // Every scroll is told to the label, also one that leaves the position as it was (a key
        // at an end, the mouse released where it was pressed).
        const auto showLevel = [moved = slider, shown = label, levels = scale] {
            const QString number = QString::number(moved->sliderPosition());
            shown->setText(levels ? levelLabel(*levels, number) : number);
        };
        connect(slider, &QSlider::valueChanged, label, showLevel);
        connect(slider, &QSlider::actionTriggered, label, showLevel);
        connect(slider, &QSlider::sliderReleased, label, showLevel);
    }

    connect(m_ui->lightmapsCheck, &QCheckBox::clicked, this,
            [this] { clickCheck(m_ui->lightmapsCheck, "Lightmaps", "1", "0"); });
    connect(m_ui->shadowsCheck, &QCheckBox::clicked, this,
            [this] { clickCheck(m_ui->shadowsCheck, "Shadows", "1", "0"); });
    connect(m_ui->allSoundsCheck, &QCheckBox::clicked, this,
            [this] { clickCheck(m_ui->allSoundsCheck, "AllSounds", "1", "0"); });
    connect(m_ui->menuMusicCheck, &QCheckBox::clicked, this,
            [this] { clickCheck(m_ui->menuMusicCheck, "MenuMusic", "1", "0"); });
    connect(m_ui->inGameMusicCheck, &QCheckBox::clicked, this,
            [this] { clickCheck(m_ui->inGameMusicCheck, "InGameMusic", "1", "0"); });
    connect(m_ui->proximitySoundsCheck, &QCheckBox::clicked, this,
            [this] { clickCheck(m_ui->proximitySoundsCheck, "ProximitySounds", "1", "0"); });
    connect(m_ui->highPlaybackCheck, &QCheckBox::clicked, this,
            [this] { clickCheck(m_ui->highPlaybackCheck, "HighPlayback", "2", "1"); });
    connect(m_ui->disableMoviesCheck, &QCheckBox::clicked, this, [this](bool checked) {
        m_settings.gameFolder = m_config.read("Path");
        switchIntroMovies(m_dialog.m_game, checked, m_config, this);
        m_config.save(this);
    });
    connect(m_ui->resolutionCombo, &QComboBox::activated, this, [this](int index) {
        setConfig("Resolution", displayModeFromEntry(m_ui->resolutionCombo->itemText(index)));
        m_config.save(this);
    });
    connect(m_ui->profileCombo, &QComboBox::activated, this,
            [this](int index) { loadChosenProfile(ui::nameOf(m_ui->profileCombo, index)); });
    for (QComboBox* box : {m_ui->profileCombo, m_ui->resolutionCombo})
        ui::chooseByListOnly(box);
    m_ui->profileCombo->installEventFilter(this);
    connect(m_ui->saveButton, &QPushButton::clicked, this, &SettingsWindow::saveProfile);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    m_ui->cancelButton->setFocus();
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::accept() {
    m_settings.playerName = m_ui->nameEdit->text();
    ModalDialog::accept();
}

void SettingsWindow::setConfig(const char* name, const QString& value) {
    m_config.write(name, value);
}

void SettingsWindow::clickCheck(QCheckBox* box, const char* configName, const char* checked,
                                const char* unchecked) {
    setConfig(configName, QString::fromLatin1(box->isChecked() ? checked : unchecked));
    m_config.save(this);
}

void SettingsWindow::loadOnOpening() {
    m_settings.gameFolder = m_dialog.m_game.readGameFolder();
    QStringList profiles;
    for (const QString& name : common::listSubFolders(
             m_dialog.m_game,
             m_settings.gameFolder + QStringLiteral("\\Mods\\GVTarsis\\Settings\\Profiles\\*.*"))) {
        if (!name.startsWith(u'.'))
            profiles.append(name);
    }
    ui::fillSorted(m_ui->profileCombo, profiles);
    m_settings.currentProfile = QStringLiteral("Custom");
    // Filled first: filling an editable box would replace the display mode it shows.
    m_ui->resolutionCombo->addItems(resolutionList());
    ui::showText(m_ui->resolutionCombo, QString());
    readProfileFiles();
    m_ui->menuMusicVolumeSlider->setRange(0, 100);
    m_ui->masterVolumeSlider->setRange(0, 100);
    m_ui->channelsSlider->setRange(32, 64);
    m_ui->geometryQualitySlider->setRange(1, 3);
    m_ui->graphicsQualitySlider->setRange(1, 5);
    m_ui->occlusionSlider->setRange(0, 2);
    m_ui->textureQualitySlider->setRange(1, 3);
    for (QSlider* slider : findChildren<QSlider*>())
        slider->setTickInterval(1);
    setLabels();
    setChecksAndConfig();
    ui::showText(m_ui->profileCombo, QStringLiteral("Custom"));
    showRecord();
    setSliderPositions();

    setConfig("Path", m_settings.gameFolder);
    setConfig("Lightmaps", m_settings.lightmaps);
    setConfig("Shadows", m_settings.shadows);
    setConfig("Resolution", m_settings.displayMode);
    m_config.save(this);
}

void SettingsWindow::loadChosenProfile(const QString& profile) {
    if (profile == u"Default") {
        ui::showMessage(this, QStringLiteral("The profile \"default\" is not available"),
                        ui::MessageIcon::Information);
        // Saving must never write into "Default": the profile loaded before stays, shown with its
        // entry current, so that nothing later takes the box for a choice.
        QComboBox* box = m_ui->profileCombo;
        const int chosen = box->currentIndex();
        m_refusedRow = ui::nameOf(box, chosen) == profile ? chosen : -1;
        ui::showText(box, m_settings.currentProfile);
        return;
    }
    m_refusedRow = -1;
    m_settings.currentProfile = profile;
    readProfileFiles();
    setLabels();
    setChecksAndConfig();
    ui::showText(m_ui->profileCombo, m_settings.currentProfile);
    showRecord();
    setSliderPositions();
    setConfig("Resolution", m_settings.displayMode);
    m_config.save(this);
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event) {
    // After a refusal the arrow keys and the wheel pass over the refused entry, from the profile
    // shown to the one beyond it; where there is none, nothing moves.
    QComboBox* box = m_ui->profileCombo;
    const int step = watched == box && m_refusedRow >= 0 ? stepOf(event) : 0;
    if (step == 0 || box->currentIndex() + step != m_refusedRow)
        return ModalDialog::eventFilter(watched, event);
    const int beyond = m_refusedRow + step;
    if (beyond >= 0 && beyond < box->count()) {
        box->setCurrentIndex(beyond);
        loadChosenProfile(ui::nameOf(box, beyond));
    }
    return true;
}

void SettingsWindow::readProfileFiles() {
    const std::pair<ProfileFile, std::vector<QWidget*>> files[] = {
        {ProfileFile::GeneralOptions, {m_ui->nameEdit}},
        {ProfileFile::Video,
         {m_ui->resolutionCombo, m_ui->shadowsCheck, m_ui->lightmapsCheck,
          m_ui->geometryQualitySlider, m_ui->graphicsQualitySlider, m_ui->textureQualitySlider}},
        {ProfileFile::Sound,
         {m_ui->allSoundsCheck, m_ui->inGameMusicCheck, m_ui->menuMusicCheck,
          m_ui->proximitySoundsCheck, m_ui->highPlaybackCheck, m_ui->masterVolumeSlider,
          m_ui->menuMusicVolumeSlider, m_ui->occlusionSlider, m_ui->channelsSlider}}};
    for (const auto& [file, controls] : files) {
        const QString name = QString::fromLatin1(fileNameOf(file));
        if (readProfileFile(m_dialog.m_game, m_settings, file,
                            profileFilePath(m_settings.gameFolder, m_settings.currentProfile,
                                            fileNameOf(file)))) {
            if (file == ProfileFile::Video)
                ui::showText(m_ui->resolutionCombo, resolutionText(m_settings));
            continue;
        }
        ui::showMessage(this, QStringLiteral("The file \"%1\" is missing or corrupt").arg(name),
                        ui::MessageIcon::Exclamation);
        for (QWidget* control : controls)
            control->setEnabled(false);
    }
}

void SettingsWindow::setLabels() {
    setLevel(m_ui->geometryQualityLevel, LevelScale::Quality, m_settings.geometry);
    setLevel(m_ui->textureQualityLevel, LevelScale::Quality, m_settings.texture);
    setLevel(m_ui->graphicsQualityLevel, LevelScale::Percent, m_settings.graphics);
    setLevel(m_ui->occlusionLevel, LevelScale::Occlusion, m_settings.occlusion);
    setNumberLabel(m_ui->masterVolumeLevel, m_settings.masterVolume);
    setNumberLabel(m_ui->menuMusicVolumeLevel, m_settings.menuMusicVolume);
    setNumberLabel(m_ui->channelsLevel, m_settings.channels);
}

void SettingsWindow::setChecksAndConfig() {
    m_ui->disableMoviesCheck->setChecked(m_config.read("Movies") == u"1");
    const std::tuple<QCheckBox*, const char*, const QString*> checks[] = {
        {m_ui->shadowsCheck, "Shadows", &m_settings.shadows},
        {m_ui->lightmapsCheck, "Lightmaps", &m_settings.lightmaps},
        {m_ui->allSoundsCheck, "AllSounds", &m_settings.soundEnable},
        {m_ui->menuMusicCheck, "MenuMusic", &m_settings.musicEnable},
        {m_ui->inGameMusicCheck, "InGameMusic", &m_settings.inGameMusicEnable},
        {m_ui->proximitySoundsCheck, "ProximitySounds", &m_settings.proximityEnable}};
    for (const auto& [box, name, value] : checks) {
        box->setChecked(numberOf(*value) != 0);
        setConfig(name, *value);
    }
    m_ui->highPlaybackCheck->setChecked(numberOf(m_settings.quality) == 2);
    setConfig("HighPlayback", m_settings.quality);
}

void SettingsWindow::showRecord() {
    m_ui->nameEdit->setText(m_settings.playerName);
}

void SettingsWindow::setSliderPositions() {
    // A load sets positions without touching the level labels the load has just set.
    std::vector<QSignalBlocker> blockers;
    for (QSlider* slider : findChildren<QSlider*>())
        blockers.emplace_back(slider);
    m_ui->textureQualitySlider->setValue(numberOf(m_settings.texture));
    m_ui->graphicsQualitySlider->setValue(numberOf(m_settings.graphics));
    m_ui->geometryQualitySlider->setValue(numberOf(m_settings.geometry));
    m_ui->occlusionSlider->setValue(numberOf(m_settings.occlusion));
    m_ui->masterVolumeSlider->setValue(numberOf(m_settings.masterVolume));
    m_ui->menuMusicVolumeSlider->setValue(numberOf(m_settings.menuMusicVolume));
    m_ui->channelsSlider->setValue(numberOf(m_settings.channels));
}

void SettingsWindow::saveProfile() {
    m_settings.playerName = m_ui->nameEdit->text();
    m_settings.displayMode = m_config.read("Resolution");
    m_settings.gameFolder = m_config.read("Path");

    const auto position = [](const QSlider* slider) { return QString::number(slider->value()); };
    SavedValues values;
    values.playerName = m_settings.playerName;
    values.displayMode = m_settings.displayMode;
    values.texture = position(m_ui->textureQualitySlider);
    values.graphics = position(m_ui->graphicsQualitySlider);
    values.geometry = position(m_ui->geometryQualitySlider);
    values.masterVolume = position(m_ui->masterVolumeSlider);
    values.menuMusicVolume = position(m_ui->menuMusicVolumeSlider);
    values.channels = position(m_ui->channelsSlider);
    values.occlusion = position(m_ui->occlusionSlider);
    values.lightmaps = m_config.read("Lightmaps");
    values.shadows = m_config.read("Shadows");
    values.allSounds = m_config.read("AllSounds");
    values.menuMusic = m_config.read("MenuMusic");
    values.inGameMusic = m_config.read("InGameMusic");
    values.proximitySounds = m_config.read("ProximitySounds");
    values.highPlayback = m_config.read("HighPlayback");

    // The three files are one save, undone together.
    const platform::HistoryAction save(
        m_settings.gameFolder,
        QStringLiteral("Settings saved (profile %1)").arg(m_settings.currentProfile));
    for (const ProfileFile file : kProfileFiles) {
        const QString path =
            profileFilePath(m_settings.gameFolder, m_settings.currentProfile, fileNameOf(file));
        if (const auto result = common::rewriteLeadingLines(m_dialog.m_game, path,
                                                            linesToWrite(m_settings, file, values));
            result != platform::RewriteResult::Rewritten)
            ui::showMessage(
                this, common::writeFailedMessage(QString::fromLatin1(fileNameOf(file)), result),
                ui::MessageIcon::Exclamation);
    }
}

} // namespace gvt::settings
