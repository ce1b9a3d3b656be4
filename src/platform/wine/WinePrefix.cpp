// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/WinePrefix.h"

#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"
#include "platform/files/PathLookup.h"
#include "platform/files/ProgramSearch.h"
#include "platform/wine/WineRegistry.h"

#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gvt::platform {

QString prefixHolding(const QString& folder) {
    QString at = folder;
    while (at.startsWith(u'/')) {
        struct stat st {};
        if (::stat(fileNameOfText(at + QStringLiteral("/system.reg")).constData(), &st) == 0 &&
            S_ISREG(st.st_mode) && isFolder(fileNameOfText(at + QStringLiteral("/dosdevices"))))
            return at;
        if (at == u"/")
            break;
        at = programFolderOf(at);
        if (at.isEmpty())
            at = QStringLiteral("/");
    }
    return {};
}

namespace {

// GAMEDIR of one registry file, read whole.
QString gameDirIn(int fd) {
    // As a 32-bit installer writes it on a 64-bit prefix, else as on a 32-bit one.
    const QStringList keys = {QStringLiteral("Software\\Wow6432Node\\Oxley Games\\Grimvale Tarsis"),
                              QStringLiteral("Software\\Oxley Games\\Grimvale Tarsis")};
    // A registry grows to many megabytes: it goes through a small buffer, and only the game's
    // keys are kept, so that no memory the size of the file is ever touched.
    RegistryKeyFilter filter(keys);
    char buffer[65536];
    for (ssize_t n = 1; n > 0 || (n < 0 && errno == EINTR);) {
        n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            filter.feed(QByteArrayView(buffer, n));
    }
    const auto value = findRegistryText(filter.finish(), keys, QStringLiteral("GAMEDIR"));
    if (!value)
        return {};
    // The game reads the text up to its first NUL, one byte per character.
    const QString text = value->left(value->indexOf(QChar(0)));
    return text.toUcs4().size() > kMaxGameDirBytes ? QString() : text;
}

} // namespace

QString prefixGameDir(const QString& prefix) {
    struct stat st {};
    const Descriptor fd =
        openRegularFile(fileNameOfText(prefix + QStringLiteral("/system.reg")), st);
    if (!fd.valid())
        return {};
    // Each dialog looks the game up as it opens: a registry is read again only once it changed
    // (Wine writes a new file in its place).
    struct Read {
        dev_t device;
        ino_t inode;
        off_t size;
        timespec changed;
        QString gameDir;
    };
    static QHash<QString, Read> known;
    const auto found = known.constFind(prefix);
    if (found != known.constEnd() && found->device == st.st_dev && found->inode == st.st_ino &&
        found->size == st.st_size && found->changed.tv_sec == st.st_mtim.tv_sec &&
        found->changed.tv_nsec == st.st_mtim.tv_nsec)
        return found->gameDir;
    const QString gameDir = gameDirIn(fd.get());
    known.insert(prefix, {st.st_dev, st.st_ino, st.st_size, st.st_mtim, gameDir});
    return gameDir;
}

QString wineProgram(const QString& wineVariable) {
    if (!wineVariable.contains(u'/'))
        return findOnPath(wineVariable.isEmpty() ? QStringLiteral("wine") : wineVariable);
    return isExecutableFile(fileNameOfText(wineVariable))
               ? QFileInfo(wineVariable).absoluteFilePath()
               : QString();
}

bool isWindowsProgram(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    char start[2] = {};
    const bool windows = fd >= 0 && ::read(fd, start, 2) == 2 && start[0] == 'M' && start[1] == 'Z';
    if (fd >= 0)
        ::close(fd);
    return windows;
}

} // namespace gvt::platform
