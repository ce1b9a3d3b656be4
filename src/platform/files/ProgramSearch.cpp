// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/ProgramSearch.h"

#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"

#include <climits>
#include <unistd.h>

namespace gvt::platform {

QString currentFolderAsStarted() {
    const QByteArray pwd = qgetenv("PWD");
    if (pwd.startsWith('/') && sameEntryOnDisk(pwd, "."))
        return textOfFileName(pwd);
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? textOfFileName(buffer) : QString();
}

QString findOnPath(const QString& name) {
    const QByteArray current = fileNameOfText(currentFolderAsStarted());
    const QByteArray program = fileNameOfText(name);
    for (const QByteArray& folder : qgetenv("PATH").split(':')) {
        const QByteArray path =
            (folder.startsWith('/') ? folder : current + '/' + folder) + '/' + program;
        if (isExecutableFile(path))
            return textOfFileName(path);
    }
    return {};
}

} // namespace gvt::platform
