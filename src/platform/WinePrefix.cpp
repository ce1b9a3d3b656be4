#include "platform/WinePrefix.h"

#include "platform/FileName.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <unistd.h>

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
    const int fd = ::open(fileNameOfText(path).constData(), O_RDONLY | O_CLOEXEC);
    char start[2] = {};
    const bool windows = fd >= 0 && ::read(fd, start, 2) == 2 && start[0] == 'M' && start[1] == 'Z';
    if (fd >= 0)
        ::close(fd);
    return windows;
}

} // namespace gvt::platform
