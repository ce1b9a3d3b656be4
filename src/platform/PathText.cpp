// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PathText.h"

#include "platform/FileName.h"
#include "platform/wine/WinePrefix.h"

#include <QDir>
#include <QFile>

#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>

namespace gvt::platform {

namespace {

bool isSeparator(QChar c) {
    return c == u'\\' || c == u'/';
}

bool entryExists(const QString& path) {
    struct stat st {};
    return ::lstat(fileNameOfText(path).constData(), &st) == 0;
}

QString joinPath(const QString& base, const QString& name) {
    if (base.isEmpty())
        return name;
    if (base.endsWith(u'/'))
        return base + name;
    return base + u'/' + name;
}

// The entry of `folder` whose name equals `name` in another letter case, ordinally first.
QString findOtherCase(const QString& folder, const QString& name) {
    const QByteArray encoded = fileNameOfText(folder.isEmpty() ? QStringLiteral(".") : folder);
    DIR* dir = ::opendir(encoded.constData());
    if (!dir)
        return {};
    QString best;
    while (const dirent* entry = ::readdir(dir)) {
        const QString candidate = textOfFileName(entry->d_name);
        if (sameNameIgnoringCase(candidate, name) && (best.isEmpty() || candidate < best))
            best = candidate;
    }
    ::closedir(dir);
    return best;
}

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

QStringList pathComponents(const QString& text) {
    QStringList parts;
    QString current;
    for (QChar c : text) {
        if (isSeparator(c)) {
            if (!current.isEmpty())
                parts.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty())
        parts.append(current);
    return parts;
}

bool isRootedPathText(const QString& text) {
    return !text.isEmpty() && isSeparator(text.front());
}

bool isDrivePathText(const QString& text) {
    return text.size() >= 2 && text[1] == u':' &&
           ((text[0] >= u'a' && text[0] <= u'z') || (text[0] >= u'A' && text[0] <= u'Z'));
}

bool isWindowsPathText(const QString& text) {
    return isDrivePathText(text) || text.startsWith(QStringLiteral("\\\\"));
}

bool sameNameIgnoringCase(const QString& a, const QString& b) {
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

QString resolvePath(const QString& text) {
    return resolvePathIn(text, winePrefixInUse());
}

QString resolvePathIn(const QString& text, const QString& prefix) {
    // "\Mods\…" names the root of a current drive, which a program of this machine does not
    // have: it is what an unknown game folder gives, and it names no file here.
    if (text.startsWith(u'\\') && !text.startsWith(QStringLiteral("\\\\")))
        return {};
    QString path;
    QStringList components;
    if (isDrivePathText(text)) {
        // A drive of the Wine prefix: its dosdevices link leads to the folder on this machine.
        path = driveFolderOf(text[0], prefix);
        components = windowsComponents(text.mid(2), 0);
    } else if (text.startsWith(QStringLiteral("\\\\"))) {
        // \\server\share\…: Wine keeps network shares below the prefix's "dosdevices/unc".
        path = prefix + QStringLiteral("/dosdevices/unc");
        components = windowsComponents(text, 2);
    } else {
        if (isRootedPathText(text))
            path = QStringLiteral("/");
        components = pathComponents(text);
    }
    bool parentExists = true;
    for (const QString& component : components) {
        const QString exact = joinPath(path, component);
        if (!parentExists || component == u"." || component == u".." || entryExists(exact)) {
            path = exact;
            continue;
        }
        const QString other = findOtherCase(path, component);
        if (other.isEmpty()) {
            // Missing from here on: keep the spelling so that opening fails as "missing".
            parentExists = false;
            path = exact;
        } else {
            path = joinPath(path, other);
        }
    }
    if (path.isEmpty())
        path = QStringLiteral(".");
    return path;
}

QString realFolderOf(const QString& path) {
    struct stat st {};
    char real[PATH_MAX];
    const QByteArray bytes = fileNameOfText(path);
    if (path.isEmpty() || ::stat(bytes.constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        !::realpath(bytes.constData(), real))
        return {};
    return textOfFileName(real);
}

PathSplit splitLastComponent(const QString& text) {
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (isSeparator(text[i]))
            return {text.left(i + 1), text.mid(i + 1)};
    }
    return {QString(), text};
}

} // namespace gvt::platform
