#pragma once

#include <QString>

namespace gvt::platform {

// The game folder recorded by the game's installer: value GAMEDIR of organisation
// "Oxley Games", application "Grimvale Tarsis". Missing or longer than 499 bytes: empty.
QString readGameDirValue();

// The program's own remembered values: section "Config" of organisation
// "GVTarsis Mod Manager", application = the executable's name without extension.
// A missing value reads as the empty text; each write is synced at once.
QString readConfigValue(const QString& name);
void writeConfigValue(const QString& name, const QString& value);

} // namespace gvt::platform
