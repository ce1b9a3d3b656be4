// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/files/FileReplace.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace gvt::platform {
struct GameInstall;
}

// Line files are the game's console scripts: read by line position, written back with the
// lines we do not model exactly as read. All contents are bytes.
namespace gvt::common {

using Lines = QList<QByteArray>;

// Reads the first `count` lines of the file at a path text of the game. CR LF or LF ends a line and
// is not part of it; missing lines are empty. Nothing when the file cannot be opened.
std::optional<Lines> readLines(const platform::GameInstall& game, const QString& pathText,
                               int count);

// Rewrites an existing file: `lines`, each ending in CR LF, replace its old text up to the end
// of its lines.size()-th line; what followed that line is kept unchanged. Atomic; never
// creates the file. Not rewritten when the file is missing, cannot be written or is a link to a
// file of another name; it is then unchanged.
platform::RewriteResult rewriteLeadingLines(const platform::GameInstall& game,
                                            const QString& pathText, const Lines& lines);

// Rewrites an existing file whole: `lines`, each ending in CR LF, are its new content.
platform::RewriteResult rewriteWholeFile(const platform::GameInstall& game, const QString& pathText,
                                         const Lines& lines);

// What the user is told when a file of the game (its name, "Init.con") could not be written.
QString writeFailedMessage(const QString& fileName, platform::RewriteResult result);

// The offset just after the end of the `count`-th line of `content` (its size when shorter).
qsizetype endOfLine(QByteArrayView content, int count);

// The first `count` lines of a file's content, as readLines() gives them.
Lines splitLines(QByteArrayView content, int count);

// What rewriteLeadingLines() makes of a file's content.
QByteArray replaceLeadingLines(QByteArrayView old, const Lines& lines);

} // namespace gvt::common
