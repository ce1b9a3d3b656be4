// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/UserPlaces.h"
#include "platform/files/FileIo.h"
#include "platform/files/FileName.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Where the game managers keep their files, and how their readers reach them: small reads that
// never hang on a strange file.
namespace gvt::platform {

// A manager's file: a regular file of at most 16 MiB (a pipe or a device is not waited on).
std::optional<QByteArray> readManagerFile(const QString& path);

// The names in a folder that end in `suffix` (every name but "." and ".." when empty), in the
// order of their bytes.
QStringList entriesOf(const QString& folder, const QString& suffix = {});

inline bool isFolder(const QString& path) {
    return isFolder(fileNameOfText(path));
}
inline bool isExecutableFile(const QString& path) {
    return isExecutableFile(fileNameOfText(path));
}

// A folder as a manager wrote it: "~/" stands for the home folder; anything that is not an
// absolute path gives the empty text.
QString absolutePathOf(const QString& text, const QString& home);

// A file or folder as the user reads it in a record: the home folder as "~".
QString shownPath(const QString& path, const QString& home);
// Where a launch value came from: "<file>: <key>".
QString sourceIn(const QString& file, const QString& key, const QString& home);

// True when a file lies in one of `folders` (links resolved on both sides): a manager's Wine
// comes from its own folders only, not from wherever a file of it names.
bool liesIn(const QString& path, const QStringList& folders);

// A program on PATH (as the shell finds it), or empty.
QString programOnPath(const QString& name);

// Steam as this user has it: the folder its client is installed in (empty when none), and
// every library, that folder's and those its libraryfolders.vdf lists, each once.
struct SteamPlaces {
    QString client;
    QStringList libraries;
};
SteamPlaces steamPlaces(const UserPlaces& places);

// The folders Steam takes third-party compatibility tools from, and those its own tools are in.
QStringList compatibilityToolFolders(const SteamPlaces& steam);
QStringList steamToolFolders(const SteamPlaces& steam);

} // namespace gvt::platform
