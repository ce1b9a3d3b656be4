#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace gvt::platform {

// Replaces the content of an existing regular file (a path on this machine) with what `build`
// makes of its old content. The new content goes to a temporary file in the same folder, is
// flushed, takes over the old file's permissions and replaces it by rename, so on any failure
// (full disk, no permission) the old file stays as it was. Returns false on failure.
// When only the folder is write-protected the file is rewritten in place, after the whole new
// content is in memory.
bool replaceExistingFile(const QString& path,
                         const std::function<QByteArray(const QByteArray& old)>& build);

// The whole content of a regular file, or false when it cannot be read.
bool readWholeFile(const QString& path, QByteArray& content);

} // namespace gvt::platform
