// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/ManagerFolders.h"

#include "platform/FileName.h"
#include "platform/FileReplace.h"

#include <QDir>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gvt::platform {

std::optional<QByteArray> readManagerFile(const QString& path) {
    constexpr qsizetype kLimit = 16 << 20;
    const int fd = ::open(fileNameOfText(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    QByteArray content;
    const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kLimit &&
                    readFully(fd, content);
    ::close(fd);
    return ok ? std::optional(content) : std::nullopt;
}

QStringList entriesOf(const QString& folder, const QString& suffix) {
    QList<QByteArray> names;
    DIR* dir = ::opendir(fileNameOfText(folder).constData());
    if (!dir)
        return {};
    const QByteArray end = fileNameOfText(suffix);
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (name != "." && name != ".." && name.endsWith(end) && name.size() > end.size())
            names.append(name.toByteArray());
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    QStringList texts;
    for (const QByteArray& name : names)
        texts.append(textOfFileName(name));
    return texts;
}

bool isFolder(const QString& path) {
    struct stat st {};
    return ::stat(fileNameOfText(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isExecutableFile(const QString& path) {
    struct stat st {};
    const QByteArray bytes = fileNameOfText(path);
    return ::stat(bytes.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(bytes.constData(), X_OK) == 0;
}

QString absolutePathOf(const QString& text, const QString& home) {
    QString path = text;
    if (path == u"~" || path.startsWith(QStringLiteral("~/")))
        path = home + path.mid(1);
    if (!path.startsWith(u'/') || path.contains(QChar(0)))
        return {};
    // Managers write folders with and without a final separator.
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

} // namespace gvt::platform
