// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Platform.h"

#include "platform/FileName.h"
#include "platform/PathText.h"
#include "platform/wine/ManagerFolders.h"

#include <QCoreApplication>
#include <QDir>

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace gvt::platform {

QString programFolderOf(const QString& programPath) {
    const qsizetype cut = std::max(programPath.lastIndexOf(u'/'), programPath.lastIndexOf(u'\\'));
    return cut < 0 ? QString() : programPath.left(cut);
}

QStringList splitArgumentWords(const QString& argumentText) {
    QString text = argumentText;
    text.replace(u'\t', u' ');
    return text.split(u' ', Qt::SkipEmptyParts);
}

namespace {

bool statOf(const QString& path, struct stat& st) {
    return ::stat(fileNameOfText(path).constData(), &st) == 0;
}

// The current folder as the shell that started us spells it, links kept, when $PWD says so.
QString currentFolderAsStarted() {
    const QString pwd = textOfFileName(qgetenv("PWD"));
    if (pwd.startsWith(u'/') && sameEntryOnDisk(pwd, QStringLiteral(".")))
        return pwd;
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? textOfFileName(buffer) : QString();
}

} // namespace

QString findOnPath(const QString& name) {
    const QString current = currentFolderAsStarted();
    for (const QByteArray& folder : qgetenv("PATH").split(':')) {
        // An empty or relative entry is a folder below the current one, as the shell takes it.
        const QString entry = textOfFileName(folder);
        const QString path =
            (entry.startsWith(u'/') ? entry : current + u'/' + entry) + u'/' + name;
        if (isExecutableFile(path))
            return path;
    }
    return {};
}

bool sameEntryOnDisk(const QString& a, const QString& b) {
    struct stat first {};
    struct stat second {};
    return statOf(a, first) && statOf(b, second) && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

QString startedProgramPath(const QString& startedAs, const QString& realPath) {
    QString started = startedAs;
    if (started.isEmpty())
        return realPath;
    if (!started.contains(u'/'))
        started = findOnPath(started);
    else if (!started.startsWith(u'/'))
        started = currentFolderAsStarted() + u'/' + started;
    started = QDir::cleanPath(started);
    return sameEntryOnDisk(started, realPath) ? started : realPath;
}

SystemProgramLocation::SystemProgramLocation(const QByteArray& startedAs) {
    char real[PATH_MAX];
    const ssize_t size = ::readlink("/proc/self/exe", real, sizeof real);
    m_path = startedProgramPath(textOfFileName(startedAs),
                                size > 0 ? textOfFileName(QByteArrayView(real, size))
                                         : QCoreApplication::applicationFilePath());
}

QString SystemProgramLocation::programPath() const {
    return m_path;
}

} // namespace gvt::platform
