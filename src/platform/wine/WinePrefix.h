// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What a Wine prefix holds that the launcher reads: where it is, the game folder its registry
// records, and whether a file is a Windows program.
namespace gvt::platform {

// The game reads GAMEDIR into 500 bytes with its terminating NUL: a longer one is none.
inline constexpr qsizetype kMaxGameDirBytes = 499;

// The nearest folder at or above `folder` that holds a system.reg and a "dosdevices" folder,
// or empty.
QString prefixHolding(const QString& folder);

// The game folder that the game's installer recorded in a prefix (GAMEDIR of its system.reg,
// as the file stands now: read again only once it changed), or empty.
QString prefixGameDir(const QString& prefix);

// The wine program named by $WINE (a path, or a name looked up on PATH), else "wine" on PATH.
// Empty when there is none.
QString wineProgram(const QString& wineVariable);

// True when the file begins with "MZ", as every Windows program does.
bool isWindowsProgram(const QByteArray& path);

} // namespace gvt::platform
