// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where the game's installer records the game folder on a machine without Wine: GAMEDIR in the
// settings of organisation "Oxley Games", application "Grimvale Tarsis". (In a Wine prefix it
// is the prefix's registry: see prefixGameDir().)
namespace gvt::platform {

// GAMEDIR of that settings file, exactly as written: the rest of its line after "GAMEDIR=",
// without surrounding blanks, commas and semicolons included. A value in double quotes, as Qt
// programs save one, is read the way they wrote it. Empty when there is none.
QString settingsFileGameDir();
QString settingsFilePath();

} // namespace gvt::platform
