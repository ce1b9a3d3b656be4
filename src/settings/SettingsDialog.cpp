#include "settings/SettingsDialog.h"

#include "common/GameFolder.h"
#include "platform/Registry.h"
#include "settings/IntroMovies.h"
#include "settings/ProfileFiles.h"
#include "ui/MessageBox.h"
#include "ui/SortedList.h"
#include "ui_SettingsDialog.h"

namespace gvt::settings {

namespace {

QString config(const char* name) {
    return platform::readConfigValue(QString::fromLatin1(name));
}

void setConfig(const char* name, const QString& value) {
    platform::writeConfigValue(QString::fromLatin1(name), value);
}

void setLevel(QLabel* label, LevelScale scale, const QString& value) {
    const QString text = levelLabel(scale, value);
    if (!text.isEmpty())
        label->setText(text);
}

void setNumberLabel(QLabel* label, const QString& value) {
    label->setText(value.isEmpty() ? QStringLiteral("[ERROR]") : value);
}

} // namespace

SettingsDialog::SettingsDialog() = default;

SettingsDialog::~SettingsDialog() = default;

SettingsWindow& SettingsDialog::open(QWidget* owner) {
    return m_window.open(m_settings, owner);
}

void SettingsDialog::run(QWidget* owner) {
    open(owner);
    m_window.runModal();
}

void SettingsDialog::run(QWidget* owner, const QString& profile) {
    open(owner).loadChosenProfile(profile);
    m_window.runModal();
}

SettingsWindow::SettingsWindow(ProfileSettings& settings, QWidget* owner)
    : ModalDialog(owner), m_settings(settings), m_ui(std::make_unique<Ui::SettingsDialogUi>()) {
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
    for (const auto& [slider, label, scale] : sliders)
        connect(slider, &QSlider::valueChanged, label, [label, scale](int value) {
            const QString number = QString::number(value);
            label->setText(scale ? levelLabel(*scale, number) : number);
        });

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
        m_settings.gameFolder = config("Path");
        switchIntroMovies(checked, this);
    });
    connect(m_ui->resolutionCombo, &QComboBox::activated, this, [this](int index) {
        setConfig("Resolution", displayModeFromEntry(m_ui->resolutionCombo->itemText(index)));
    });
    connect(m_ui->profileCombo, &QComboBox::activated, this,
            [this](int index) { loadChosenProfile(m_ui->profileCombo->itemText(index)); });
    connect(m_ui->saveButton, &QPushButton::clicked, this, &SettingsWindow::saveProfile);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    m_ui->cancelButton->setFocus();
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::accept() {
    m_settings.playerName = m_ui->nameEdit->text();
    ModalDialog::accept();
}

void SettingsWindow::clickCheck(QCheckBox* box, const char* configName, const char* checked,
                                const char* unchecked) {
    setConfig(configName, QString::fromLatin1(box->isChecked() ? checked : unchecked));
}

void SettingsWindow::loadOnOpening() {
    m_settings.gameFolder = common::readGameFolder();
    QStringList profiles;
    for (const QString& name : common::listSubFolders(
             m_settings.gameFolder + QStringLiteral("\\Mods\\GVTarsis\\Settings\\Profiles\\*.*"))) {
        if (!name.startsWith(u'.'))
            profiles.append(name);
    }
    ui::fillSorted(m_ui->profileCombo, profiles);
    m_settings.currentProfile = QStringLiteral("Custom");
    // Filled first: filling an editable box would replace the display mode it shows.
    m_ui->resolutionCombo->addItems(resolutionList());
    m_ui->resolutionCombo->setEditText(QString());
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
    m_ui->profileCombo->setEditText(QStringLiteral("Custom"));
    showRecord();
    setSliderPositions();

    setConfig("Path", m_settings.gameFolder);
    setConfig("Lightmaps", m_settings.lightmaps);
    setConfig("Shadows", m_settings.shadows);
    setConfig("Resolution", m_settings.displayMode);
}

void SettingsWindow::loadChosenProfile(const QString& profile) {
    if (profile == u"Default") {
        ui::showMessage(this, QStringLiteral("The profile \"default\" is not available"),
                        ui::MessageIcon::Information);
        // Saving must never write into "Default": stay on the profile loaded before.
        m_ui->profileCombo->setEditText(m_settings.currentProfile);
        return;
    }
    m_settings.currentProfile = profile;
    readProfileFiles();
    setLabels();
    setChecksAndConfig();
    m_ui->profileCombo->setEditText(m_settings.currentProfile);
    showRecord();
    setSliderPositions();
    setConfig("Resolution", m_settings.displayMode);
}

void SettingsWindow::readProfileFiles() {
    const QString& folder = m_settings.gameFolder;
    const QString& profile = m_settings.currentProfile;
    if (!readGeneralOptions(m_settings, profileFilePath(folder, profile, "GeneralOptions.con"))) {
        ui::showMessage(this,
                        QStringLiteral("The file \"GeneralOptions.con\" is missing or corrupt"),
                        ui::MessageIcon::Exclamation);
        m_ui->nameEdit->setEnabled(false);
    }
    if (readVideo(m_settings, profileFilePath(folder, profile, "Video.con"))) {
        m_ui->resolutionCombo->setEditText(resolutionText(m_settings));
    } else {
        ui::showMessage(this, QStringLiteral("The file \"Video.con\" is missing or corrupt"),
                        ui::MessageIcon::Exclamation);
        for (QWidget* w : std::initializer_list<QWidget*>{
                 m_ui->resolutionCombo, m_ui->shadowsCheck, m_ui->lightmapsCheck,
                 m_ui->geometryQualitySlider, m_ui->graphicsQualitySlider,
                 m_ui->textureQualitySlider})
            w->setEnabled(false);
    }
    if (!readSound(m_settings, profileFilePath(folder, profile, "Sound.con"))) {
        ui::showMessage(this, QStringLiteral("The file \"Sound.con\" is missing or corrupt"),
                        ui::MessageIcon::Exclamation);
        for (QWidget* w : std::initializer_list<QWidget*>{
                 m_ui->allSoundsCheck, m_ui->inGameMusicCheck, m_ui->menuMusicCheck,
                 m_ui->proximitySoundsCheck, m_ui->highPlaybackCheck, m_ui->masterVolumeSlider,
                 m_ui->menuMusicVolumeSlider, m_ui->occlusionSlider, m_ui->channelsSlider})
            w->setEnabled(false);
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
    m_ui->disableMoviesCheck->setChecked(config("Movies") == u"1");
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
    m_settings.displayMode = config("Resolution");
    m_settings.gameFolder = config("Path");

    SavedValues values;
    values.displayMode = m_settings.displayMode;
    values.texture = m_ui->textureQualitySlider->value();
    values.graphics = m_ui->graphicsQualitySlider->value();
    values.geometry = m_ui->geometryQualitySlider->value();
    values.masterVolume = m_ui->masterVolumeSlider->value();
    values.menuMusicVolume = m_ui->menuMusicVolumeSlider->value();
    values.channels = m_ui->channelsSlider->value();
    values.occlusion = m_ui->occlusionSlider->value();
    values.lightmaps = config("Lightmaps");
    values.shadows = config("Shadows");
    values.allSounds = config("AllSounds");
    values.menuMusic = config("MenuMusic");
    values.inGameMusic = config("InGameMusic");
    values.proximitySounds = config("ProximitySounds");
    values.highPlayback = config("HighPlayback");

    const QString& folder = m_settings.gameFolder;
    const QString& profile = m_settings.currentProfile;
    const struct {
        const char* file;
        common::Lines lines;
    } files[] = {{"GeneralOptions.con", generalOptionsLines(m_settings)},
                 {"Sound.con", soundLines(m_settings, values)},
                 {"Video.con", videoLines(m_settings, values)}};
    for (const auto& [file, lines] : files) {
        if (!common::rewriteLeadingLines(profileFilePath(folder, profile, file), lines))
            ui::showMessage(this,
                            QStringLiteral("The file \"%1\" is missing or write protected")
                                .arg(QString::fromLatin1(file)),
                            ui::MessageIcon::Exclamation);
    }
}

} // namespace gvt::settings
