// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wine/ManagerPlaces.h"

#include "platform/files/PathLookup.h"
#include "platform/files/ProgramSearch.h"
#include "platform/wine/ManagerParsers.h"

#include <QSet>

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace gvt::platform {

std::optional<QByteArray> readManagerFile(const QString& path) {
    return readRegularFile(fileNameOfText(path), 16 << 20);
}

QStringList entriesOf(const QString& folder, const QString& suffix) {
    QStringList texts;
    for (const QByteArray& name : namesIn(fileNameOfText(folder), fileNameOfText(suffix)))
        texts.append(textOfFileName(name));
    return texts;
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

QString shownPath(const QString& path, const QString& home) {
    const QString shown = shownFileName(path);
    if (!home.isEmpty() && (path == home || path.startsWith(home + u'/')))
        return u'~' + shownFileName(path.mid(home.size()));
    return shown;
}

QString sourceIn(const QString& file, const QString& key, const QString& home) {
    return shownPath(file, home) + QStringLiteral(": ") + key;
}

bool liesIn(const QString& path, const QStringList& folders) {
    char real[PATH_MAX];
    if (!::realpath(fileNameOfText(path).constData(), real))
        return false;
    const QByteArray file(real);
    for (const QString& folder : folders) {
        const QByteArray root = realFolderOf(fileNameOfText(folder));
        if (!root.isEmpty() && file.startsWith(root + '/'))
            return true;
    }
    return false;
}

QString programOnPath(const QString& name) {
    return findOnPath(name);
}

QStringList compatibilityToolFolders(const SteamPlaces& steam) {
    QStringList folders{QStringLiteral("/usr/share/steam/compatibilitytools.d"),
                        QStringLiteral("/usr/local/share/steam/compatibilitytools.d")};
    if (!steam.client.isEmpty())
        folders.append(steam.client + QStringLiteral("/compatibilitytools.d"));
    return folders;
}

QStringList steamToolFolders(const SteamPlaces& steam) {
    QStringList folders = compatibilityToolFolders(steam);
    for (const QString& library : steam.libraries)
        folders.append(library + QStringLiteral("/steamapps/common"));
    return folders;
}

SteamPlaces steamPlaces(const UserPlaces& places) {
    SteamPlaces steam;
    QSet<QPair<quint64, quint64>> seen; // ~/.steam/steam is usually a link to another
    const auto addLibrary = [&](const QString& library) {
        // A library reached through a link is named by its real folder, as Steam names it.
        QString folder = absolutePathOf(library, places.home);
        if (const QByteArray real = realFolderOf(fileNameOfText(folder)); !real.isEmpty())
            folder = textOfFileName(real);
        struct stat st {};
        if (folder.isEmpty() || // a relative path names no folder of ours
            ::stat(fileNameOfText(folder + QStringLiteral("/steamapps")).constData(), &st) != 0 ||
            seen.contains({st.st_dev, st.st_ino}))
            return;
        seen.insert({st.st_dev, st.st_ino});
        steam.libraries.append(folder);
    };
    for (const QString& folder :
         {places.home + QStringLiteral("/.steam/steam"),
          places.home + QStringLiteral("/.local/share/Steam"),
          places.dataHome + QStringLiteral("/Steam"),
          places.home + QStringLiteral("/.var/app/com.valvesoftware.Steam/.local/share/Steam")}) {
        if (!isFolder(folder + QStringLiteral("/steamapps")))
            continue;
        // ~/.steam/steam is a link to where Steam is; its programs want the folder itself.
        if (steam.client.isEmpty())
            steam.client = textOfFileName(realFolderOf(fileNameOfText(folder)));
        addLibrary(folder);
        for (const char* list : {"/steamapps/libraryfolders.vdf", "/config/libraryfolders.vdf"}) {
            if (const auto content = readManagerFile(folder + QString::fromLatin1(list))) {
                for (const QString& library : steamLibraryFolders(*content))
                    addLibrary(library);
            }
        }
    }
    return steam;
}

} // namespace gvt::platform
