#pragma once

#include "platform/FileError.h"

#include <optional>

namespace gvt::platform {

// Renames `fromText` to `toText` (path texts). Fails when the source is missing or when the
// target folder already holds the target name in any letter case; never replaces anything.
// The new name is spelled exactly as given.
std::optional<FileError> renameFile(const QString& fromText, const QString& toText);

} // namespace gvt::platform
