// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InstallerGameDir.h"

#include "platform/ProgramSettings.h"
#include "platform/files/FileName.h"

#include <QFile>
#include <QSettings>
#include <QStringList>

namespace gvt::platform {

namespace {

QSettings installerSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Oxley Games"),
                     QStringLiteral("Grimvale Tarsis"));
}

} // namespace

QString settingsFileGameDir() {
    const QSettings store = installerSettings();
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

QString settingsFilePath() {
    return installerSettings().fileName();
}

} // namespace gvt::platform
