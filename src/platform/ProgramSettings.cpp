// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProgramSettings.h"

#include <QCoreApplication>
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

QSettings configStore() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QStringLiteral("GVTarsis Mod Manager"), applicationName());
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

} // namespace gvt::platform
