// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Platform.h"

#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"
#include "platform/files/ProgramSearch.h"

#include <QCoreApplication>
#include <QDir>

#include <climits>
#include <unistd.h>

namespace gvt::platform {

QString startedProgramPath(const QString& startedAs, const QString& realPath) {
    QString started = startedAs;
    if (started.isEmpty())
        return realPath;
    if (!started.contains(u'/'))
        started = findOnPath(started);
    else if (!started.startsWith(u'/'))
        started = currentFolderAsStarted() + u'/' + started;
    started = QDir::cleanPath(started);
    return sameEntryOnDisk(fileNameOfText(started), fileNameOfText(realPath)) ? started : realPath;
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
