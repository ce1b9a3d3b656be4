#pragma once

#include "platform/FileError.h"

#include <optional>

namespace gvt::platform {

// Renames `fromText` to `toText` (path texts). Fails when the source is missing or when the
// target folder already holds the target name in any letter case; never replaces anything.
// The new name is spelled exactly as given.
std::optional<FileError> renameFile(const QString& fromText, const QString& toText);

// Renames exactly the entry `name` of a folder (a path text) to `newName`, with the same rules
// for the new name: the entry is not looked up without regard to case. `twinsRuledOut` when the
// caller knows that no entry holds the new name in another letter case.
std::optional<FileError> renameEntry(const QString& folderText, const QString& name,
                                     const QString& newName, bool twinsRuledOut = false);

} // namespace gvt::platform
