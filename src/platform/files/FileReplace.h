// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <functional>

namespace gvt::platform {

// How a rewrite went: done, not done (the file is as it was), or refused because the path is a
// link to a file of another name (a game's file that leads out of the game).
enum class RewriteResult { Rewritten, Failed, LinkToOtherName };

// Replaces the content of an existing regular file (a path on this machine, as its bytes) with what
// `build` makes of its old content. The new content goes to a temporary file in the same folder
// (what a crash left of earlier ones removed first), is flushed, takes over the old file's owner,
// group and permissions and replaces it by rename; then the folder is flushed. On any failure (full
// disk, no permission) the old file stays as it was. A file reached through a link is rewritten
// only where the link's target has the same name (letter case aside): a profile folder linked
// to a sync folder is saved through; a link to a file of another name is not followed. Two
// instances of the program rewrite one file one after the other.
// When only the folder is write-protected the file is rewritten in place, after the whole new
// content is in memory, its old content is kept in the state folder and the space reserved.
RewriteResult replaceExistingFile(const QByteArray& path,
                                  const std::function<QByteArray(const QByteArray& old)>& build);

// True when the file a path leads to has the path's own name, letter case aside: what a link
// may lead to for a save to go through it.
bool leadsToItsOwnName(const QByteArray& path, const QByteArray& target);

} // namespace gvt::platform
