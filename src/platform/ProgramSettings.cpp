// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProgramSettings.h"

#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSettings>
#include <QStringList>

namespace gvt::platform {

QString settingsText(const QVariant& value) {
    // The settings file splits unquoted values at commas; join them back.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

namespace {

QString applicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QSettings configStore(const QString& application = applicationName()) {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QStringLiteral("GVTarsis Mod Manager"), application);
}

// One group per launcher folder, named as install.sh names its record of that install.
QString installGroup(const QString& launcherFolder) {
    return QStringLiteral("Installs/") +
           QString::fromLatin1(
               QCryptographicHash::hash(fileNameOfText(launcherFolder), QCryptographicHash::Sha256)
                   .toHex()
                   .left(16));
}

// Values set but not saved yet, or whose saving failed, by settings file and name: read back
// until the program ends, so that one unwritable folder does not turn into wrong values later.
QMap<QString, QMap<QString, QString>>& unsavedValues() {
    static QMap<QString, QMap<QString, QString>> values;
    return values;
}

} // namespace

QString readConfigValue(const QString& name) {
    const QSettings store = configStore();
    const QMap<QString, QString>& unsaved = unsavedValues()[store.fileName()];
    if (const auto value = unsaved.constFind(name); value != unsaved.constEnd())
        return *value;
    return settingsText(store.value(QStringLiteral("Config/") + name));
}

void setConfigValue(const QString& name, const QString& value) {
    unsavedValues()[configStore().fileName()].insert(name, value);
}

bool saveConfigValues() {
    QSettings store = configStore();
    QMap<QString, QString>& unsaved = unsavedValues()[store.fileName()];
    if (unsaved.isEmpty())
        return true;
    for (auto value = unsaved.constBegin(); value != unsaved.constEnd(); ++value)
        store.setValue(QStringLiteral("Config/") + value.key(), value.value());
    store.sync();
    if (store.status() != QSettings::NoError)
        return false;
    unsaved.clear();
    return true;
}

QString configFolder() {
    return QFileInfo(configStore().fileName()).absolutePath();
}

KeptInstall readKeptInstall(const QString& launcherFolder) {
    QSettings store = configStore();
    store.beginGroup(QStringLiteral("Installs"));
    // The launcher may be started through a link to its folder: compared on disk.
    const QByteArray folder = fileNameOfText(launcherFolder);
    for (const QString& group : store.childGroups()) {
        const QString kept = settingsText(store.value(group + QStringLiteral("/Folder")));
        if (!kept.isEmpty() && sameEntryOnDisk(fileNameOfText(kept), folder))
            return {settingsText(store.value(group + QStringLiteral("/Prefix"))),
                    settingsText(store.value(group + QStringLiteral("/Wine")))};
    }
    return {};
}

bool keepInstall(const QString& application, const QString& launcherFolder,
                 const KeptInstall& kept) {
    QSettings store = configStore(application);
    const QString group = installGroup(launcherFolder);
    store.remove(group);
    store.setValue(group + QStringLiteral("/Folder"), launcherFolder);
    store.setValue(group + QStringLiteral("/Prefix"), kept.prefix);
    if (!kept.wine.isEmpty())
        store.setValue(group + QStringLiteral("/Wine"), kept.wine);
    store.sync();
    return store.status() == QSettings::NoError;
}

bool forgetInstall(const QString& application, const QString& launcherFolder) {
    QSettings store = configStore(application);
    store.remove(installGroup(launcherFolder));
    store.sync();
    if (store.status() != QSettings::NoError)
        return false;
    // A settings file install.sh made holds nothing else: it goes with the last install.
    if (store.allKeys().isEmpty() && QFile::exists(store.fileName()))
        return QFile::remove(store.fileName());
    return true;
}

} // namespace gvt::platform
