#include "platform/Registry.h"

#include "platform/FileName.h"
#include "platform/WinePrefix.h"
#include "platform/WineRegistry.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
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

// GAMEDIR of the installer's settings file, exactly as written: the rest of its line after
// "GAMEDIR=", without surrounding blanks, commas and semicolons included. A value in double
// quotes, as Qt programs save one, is read the way they wrote it.
QString settingsFileGameDir() {
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope,
                          QStringLiteral("Oxley Games"), QStringLiteral("Grimvale Tarsis"));
    QFile file(store.fileName());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray value;
    bool general = true;
    for (const QByteArray& text : file.readAll().split('\n')) {
        const QByteArrayView line = QByteArrayView(text).trimmed();
        if (line.startsWith('[')) {
            general = line == "[General]";
        } else if (general && line.startsWith("GAMEDIR")) {
            const QByteArrayView rest = line.sliced(7).trimmed();
            if (rest.startsWith('='))
                value = rest.sliced(1).trimmed().toByteArray();
        }
    }
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        return settingsText(store.value(QStringLiteral("GAMEDIR")));
    return textOfFileName(value);
}

// GAMEDIR where the game's Windows installer wrote it: the machine keys of the prefix in use,
// as a 32-bit installer writes them on a 64-bit prefix, else as on a 32-bit one.
QString prefixGameDir() {
    QFile file(winePrefixInUse() + QStringLiteral("/system.reg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = file.readAll();
    const auto value =
        findRegistryText(content,
                         {QStringLiteral("Software\\Wow6432Node\\Oxley Games\\Grimvale Tarsis"),
                          QStringLiteral("Software\\Oxley Games\\Grimvale Tarsis")},
                         QStringLiteral("GAMEDIR"));
    if (!value)
        return {};
    // The game reads the text up to its first NUL, one byte per character.
    const QString text = value->left(value->indexOf(QChar(0)));
    return text.toUcs4().size() > kMaxGameDirBytes ? QString() : text;
}

} // namespace

QString readGameDirValue() {
    const QString value = settingsFileGameDir();
    if (value.isEmpty())
        return prefixGameDir();
    return fileNameOfText(value).size() > kMaxGameDirBytes ? QString() : value;
}

namespace {

QSettings configStore() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QStringLiteral("GVTarsis Mod Manager"), applicationName());
}

// Values whose saving failed, by settings file and name: still read back until the program
// ends, so that one unwritable folder does not turn into wrong values later.
QHash<QString, QString>& unsavedValues() {
    static QHash<QString, QString> values;
    return values;
}

} // namespace

QString readConfigValue(const QString& name) {
    const QSettings store = configStore();
    const auto unsaved = unsavedValues().constFind(store.fileName() + u'\n' + name);
    if (unsaved != unsavedValues().constEnd())
        return *unsaved;
    return settingsText(store.value(QStringLiteral("Config/") + name));
}

bool writeConfigValue(const QString& name, const QString& value) {
    QSettings store = configStore();
    store.setValue(QStringLiteral("Config/") + name, value);
    store.sync();
    const QString key = store.fileName() + u'\n' + name;
    if (store.status() != QSettings::NoError) {
        unsavedValues().insert(key, value);
        return false;
    }
    unsavedValues().remove(key);
    return true;
}

QString configFolder() {
    return QFileInfo(configStore().fileName()).absolutePath();
}

} // namespace gvt::platform
