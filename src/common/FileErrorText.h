#pragma once

#include "platform/FileError.h"

namespace gvt::common {

// A message naming the file that could not be renamed and why.
QString renameFailureMessage(const platform::FileError& error);

} // namespace gvt::common
