#include "platform/WinePrefix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace gvt::platform {

QString winePrefixInUse() {
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (!prefix.isEmpty())
        return prefix;
    return QDir::homePath() + QStringLiteral("/.wine");
}

QString driveFolderOf(QChar letter) {
    return winePrefixInUse() + QStringLiteral("/dosdevices/") + letter.toLower() + u':';
}

QString wineProgram() {
    const QString wine = qEnvironmentVariable("WINE");
    if (wine.isEmpty())
        return QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (!wine.contains(u'/'))
        return QStandardPaths::findExecutable(wine);
    const QFileInfo file(wine);
    return file.isFile() && file.isExecutable() ? file.absoluteFilePath() : QString();
}

bool isWindowsProgram(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(2) == "MZ";
}

} // namespace gvt::platform
