// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The program builds every path as "game folder + fixed relative path with backslashes". These
// helpers follow such a text on this machine, where names differ in letter case.
namespace gvt::platform {

// Splits a path text at backslashes and slashes; empty components are dropped.
QStringList pathComponents(const QString& text);

// True when the text starts at the file system root ("/..." or "\...").
bool isRootedPathText(const QString& text);

// Follows `components` from the folder `start` (a path of this machine as its bytes; empty: the
// current folder), each found without regard to case: an exact match first; among names that
// differ only in case the ordinally first wins. Components that do not exist keep their
// spelling, so that opening the path fails as "missing". The path, as its bytes.
QByteArray followComponents(const QByteArray& start, const QStringList& components);

// A path text of this machine ("/games/GT\Mods\…"), followed from the root or the current
// folder as followComponents() does.
QByteArray resolveLocalPath(const QString& text);

// The real path of a folder of this machine (links resolved), or empty when there is none.
QByteArray realFolderOf(const QByteArray& path);

// The folder part and the last component of a path text, split at the last separator.
struct PathSplit {
    QString folderText;
    QString lastComponent;
};
PathSplit splitLastComponent(const QString& text);

// The folder of a program's path: the text before its last separator (either kind).
QString programFolderOf(const QString& programPath);

// True when two names are the same without regard to case.
bool sameNameIgnoringCase(const QString& a, const QString& b);

} // namespace gvt::platform
