// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/WindowsPaths.h"

#include "platform/files/FileName.h"
#include "platform/files/PathLookup.h"

namespace gvt::platform {

namespace {

// The components of a Windows path text with "." and ".." taken away as the game's platform
// does, in the text, before anything is looked up; never above its first `fixed` components
// (a share's server and name) or its root.
QStringList windowsComponents(const QString& text, qsizetype fixed) {
    QStringList components;
    for (const QString& component : pathComponents(text)) {
        // "." and ".." name no server and no share: they are left out there.
        if (component == u"." || (component == u".." && components.size() <= fixed))
            continue;
        if (component == u"..")
            components.removeLast();
        else
            components.append(component);
    }
    return components;
}

} // namespace

bool isDrivePathText(const QString& text) {
    return text.size() >= 2 && text[1] == u':' &&
           ((text[0] >= u'a' && text[0] <= u'z') || (text[0] >= u'A' && text[0] <= u'Z'));
}

bool isWindowsPathText(const QString& text) {
    return isDrivePathText(text) || text.startsWith(QStringLiteral("\\\\"));
}

QString driveFolderOf(QChar letter, const QString& prefix) {
    return prefix + QStringLiteral("/dosdevices/") + letter.toLower() + u':';
}

QByteArray resolvePathIn(const QString& text, const QString& prefix) {
    // A drive of the Wine prefix: its dosdevices link leads to the folder on this machine.
    if (isDrivePathText(text))
        return followComponents(fileNameOfText(driveFolderOf(text[0], prefix)),
                                windowsComponents(text.mid(2), 0));
    // \\server\share\…: Wine keeps network shares below the prefix's "dosdevices/unc".
    if (text.startsWith(QStringLiteral("\\\\")))
        return followComponents(fileNameOfText(prefix + QStringLiteral("/dosdevices/unc")),
                                windowsComponents(text, 2));
    // "\Mods\…" names the root of a current drive, which a program of this machine does not
    // have: it is what an unknown game folder gives, and it names no file here.
    if (text.startsWith(u'\\'))
        return {};
    return resolveLocalPath(text);
}

} // namespace gvt::platform
