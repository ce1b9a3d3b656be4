// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <functional>

namespace gvt::platform {

// Replaces the content of an existing regular file (a path on this machine, as its bytes) with what
// `build` makes of its old content. The new content goes to a temporary file in the same folder
// (what a crash left of earlier ones removed first), is flushed, takes over the old file's owner,
// group and permissions and replaces it by rename; then the folder is flushed. On any failure (full
// disk, no permission) the old file stays as it was. Returns false on failure.
// When only the folder is write-protected the file is rewritten in place, after the whole new
// content is in memory, its old content is kept in the state folder and the space reserved.
bool replaceExistingFile(const QByteArray& path,
                         const std::function<QByteArray(const QByteArray& old)>& build);

} // namespace gvt::platform
