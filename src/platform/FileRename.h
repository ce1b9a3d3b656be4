// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileError.h"

#include <optional>

namespace gvt::platform {

// Renames `fromText` to `toText` (path texts). Fails when the source is missing or when the
// target folder already holds the target name in any letter case; never replaces anything.
// The new name is spelled exactly as given.
std::optional<FileError> renameFile(const QString& fromText, const QString& toText);

// Renames exactly the entry `name` of `folder` (a path on this machine, already resolved) to
// `newName`, with the same rules for the new name: the entry is not looked up without regard to
// case. `twinsRuledOut` when the caller knows that no entry holds the new name in another case.
std::optional<FileError> renameEntry(const QString& folder, const QString& name,
                                     const QString& newName, bool twinsRuledOut = false);

} // namespace gvt::platform
