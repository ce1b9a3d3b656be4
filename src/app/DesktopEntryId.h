// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace gvt::app {

// The id of the menu entry that starts this launcher, which the window carries so that the
// desktop shows that entry's icon and name. The install script names a game's own entry
// "org.gvtarsis.ModManager.g" + the first 16 hex digits of the SHA-256 of the game folder it
// copies the launcher into (the folder's path as bytes, with no trailing slash); that id when
// such an entry is in `applicationsFolder` for the launcher's folder, spelled as it was started
// or with its links resolved; else "org.gvtarsis.ModManager".
QString desktopEntryIdOf(const QString& programPath, const QString& applicationsFolder);

} // namespace gvt::app
