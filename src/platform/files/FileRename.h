// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/files/FileError.h"

#include <QByteArray>

#include <optional>

namespace gvt::platform {

// Renames the file at `from` to `newName` in the folder `toFolder` (paths of this machine, as
// their bytes). Fails when the source is missing or when the target folder already holds the
// new name in any letter case; never replaces anything. The new name is spelled exactly as
// given.
std::optional<FileError> renameFile(const QByteArray& from, const QByteArray& toFolder,
                                    const QString& newName);

// Renames exactly the entry `name` of `folder` to `newName`, with the same rules for the new
// name. `twinsRuledOut` when the caller knows that no entry holds the new name in another case.
std::optional<FileError> renameEntry(const QByteArray& folder, const QString& name,
                                     const QString& newName, bool twinsRuledOut = false);

} // namespace gvt::platform
