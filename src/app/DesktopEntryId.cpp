// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DesktopEntryId.h"

#include "platform/files/PathLookup.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace gvt::app {

QString desktopEntryIdOf(const QString& programPath, const QString& applicationsFolder) {
    const QString programId = QStringLiteral("org.gvtarsis.ModManager");
    const QString folder = platform::programFolderOf(programPath);
    // A folder that is not UTF-8 has no entry: the install script refuses it.
    for (const QString& spelling : {folder, QFileInfo(folder).canonicalFilePath()}) {
        if (spelling.isEmpty())
            continue;
        const QString id = programId + QStringLiteral(".g") +
                           QString::fromLatin1(QCryptographicHash::hash(spelling.toUtf8(),
                                                                        QCryptographicHash::Sha256)
                                                   .toHex()
                                                   .left(16));
        if (QFileInfo(applicationsFolder + u'/' + id + QStringLiteral(".desktop")).isFile())
            return id;
    }
    return programId;
}

} // namespace gvt::app
