#include "platform/Registry.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace gvt::platform {

namespace {

constexpr qsizetype kMaxGameDirBytes = 499;

QString settingsText(const QVariant& value) {
    // The settings file splits unquoted values at commas; join them back.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

QString applicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

} // namespace

QString readGameDirValue() {
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope,
                          QStringLiteral("Oxley Games"), QStringLiteral("Grimvale Tarsis"));
    const QString value = settingsText(store.value(QStringLiteral("GAMEDIR")));
    if (value.toUtf8().size() > kMaxGameDirBytes)
        return {};
    return value;
}

QString readConfigValue(const QString& name) {
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope,
                          QStringLiteral("GVTarsis Mod Manager"), applicationName());
    return settingsText(store.value(QStringLiteral("Config/") + name));
}

void writeConfigValue(const QString& name, const QString& value) {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope,
                    QStringLiteral("GVTarsis Mod Manager"), applicationName());
    store.setValue(QStringLiteral("Config/") + name, value);
    store.sync();
}

} // namespace gvt::platform
