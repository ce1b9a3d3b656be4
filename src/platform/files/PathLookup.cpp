// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/PathLookup.h"

#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"

#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>

namespace gvt::platform {

namespace {

bool isSeparator(QChar c) {
    return c == u'\\' || c == u'/';
}

QByteArray joinPath(const QByteArray& base, const QByteArray& name) {
    if (base.isEmpty())
        return name;
    if (base.endsWith('/'))
        return base + name;
    return base + '/' + name;
}

// The entry of `folder` whose name equals `name` in another letter case, ordinally first.
QByteArray findOtherCase(const QByteArray& folder, const QString& name) {
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return {};
    QString best;
    QByteArray bestBytes;
    while (const dirent* entry = ::readdir(dir)) {
        const QString candidate = textOfFileName(entry->d_name);
        if (sameNameIgnoringCase(candidate, name) && (best.isEmpty() || candidate < best)) {
            best = candidate;
            bestBytes = entry->d_name;
        }
    }
    ::closedir(dir);
    return bestBytes;
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

bool sameNameIgnoringCase(const QString& a, const QString& b) {
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

QByteArray followComponents(const QByteArray& start, const QStringList& components) {
    QByteArray path = start;
    bool parentExists = true;
    for (const QString& component : components) {
        const QByteArray exact = joinPath(path, fileNameOfText(component));
        if (!parentExists || component == u"." || component == u".." || entryExists(exact)) {
            path = exact;
            continue;
        }
        const QByteArray other = findOtherCase(path, component);
        if (other.isEmpty()) {
            // Missing from here on: keep the spelling so that opening fails as "missing".
            parentExists = false;
            path = exact;
        } else {
            path = joinPath(path, other);
        }
    }
    return path.isEmpty() ? QByteArray(".") : path;
}

QByteArray resolveLocalPath(const QString& text) {
    return followComponents(isRootedPathText(text) ? QByteArray("/") : QByteArray(),
                            pathComponents(text));
}

QByteArray realFolderOf(const QByteArray& path) {
    struct stat st {};
    char real[PATH_MAX];
    if (path.isEmpty() || ::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        !::realpath(path.constData(), real))
        return {};
    return real;
}

QString programFolderOf(const QString& programPath) {
    const qsizetype cut = std::max(programPath.lastIndexOf(u'/'), programPath.lastIndexOf(u'\\'));
    return cut < 0 ? QString() : programPath.left(cut);
}

PathSplit splitLastComponent(const QString& text) {
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (isSeparator(text[i]))
            return {text.left(i + 1), text.mid(i + 1)};
    }
    return {QString(), text};
}

} // namespace gvt::platform
