// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace gvt::platform {

// Why a file operation failed, and on which file (a path on this machine).
struct FileError {
    enum class Kind { NotFound, Exists, Denied, Other };
    Kind kind = Kind::Other;
    QString path;      // the file the operation was about
    QString otherPath; // the name in the way (Exists), or the missing target folder
};

FileError::Kind fileErrorKindOf(int errnoValue);

} // namespace gvt::platform
