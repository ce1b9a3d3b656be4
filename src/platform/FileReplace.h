// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace gvt::platform {

// Replaces the content of an existing regular file (a path on this machine) with what `build`
// makes of its old content. The new content goes to a temporary file in the same folder (what a
// crash left of earlier ones removed first), is flushed, takes over the old file's owner, group
// and permissions and replaces it by rename; then the folder is flushed. On any failure (full
// disk, no permission) the old file stays as it was. Returns false on failure.
// When only the folder is write-protected the file is rewritten in place, after the whole new
// content is in memory, its old content is kept in the state folder and the space reserved.
bool replaceExistingFile(const QString& path,
                         const std::function<QByteArray(const QByteArray& old)>& build);

// The whole content of a regular file, or false when it cannot be read. A rewrite of it that a
// crash interrupted is put right first.
bool readWholeFile(const QString& path, QByteArray& content);

// All of a file's bytes from where it stands; all of `data` written at `offset`. False on an
// error.
bool readFully(int fd, QByteArray& out);
bool writeFully(int fd, QByteArrayView data, qint64 offset);

} // namespace gvt::platform
