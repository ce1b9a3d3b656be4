// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The program builds every path as "game folder + fixed relative path with backslashes".
// These helpers turn such a text into a path on this machine.
namespace gvt::platform {

// Splits a path text at backslashes and slashes; empty components are dropped.
QStringList pathComponents(const QString& text);

// True when the text starts at the file system root ("/..." or "\...").
bool isRootedPathText(const QString& text);

// True when the text begins with a drive letter and a colon ("C:\Games\..."): a path inside
// the Wine prefix in use.
bool isDrivePathText(const QString& text);
// True for a drive path or a network path ("\\server\share\..."): a text that names a place
// through the Wine prefix in use, not a path of this machine.
bool isWindowsPathText(const QString& text);

// The path on this machine: a drive path starts at the link for its drive of the prefix in use.
// Each component is found without regard to case (an exact match first; among names that
// differ only in case the ordinally first wins). Components that do not exist keep their
// spelling.
QString resolvePath(const QString& text);
// A text that starts with a single backslash (the root of the current drive, which this
// program does not have) gives the empty text. The same in a given prefix:
QString resolvePathIn(const QString& text, const QString& prefix);

// The real path of a folder of this machine (links resolved), or empty when there is none.
QString realFolderOf(const QString& path);

// The folder part and the last component of a path text, split at the last separator.
struct PathSplit {
    QString folderText;
    QString lastComponent;
};
PathSplit splitLastComponent(const QString& text);

// True when two names are the same without regard to case.
bool sameNameIgnoringCase(const QString& a, const QString& b);

} // namespace gvt::platform
