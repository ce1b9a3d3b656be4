// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The program's own remembered values, section "Config": a missing value reads as the empty
// text. A value that could not be saved is still read back until the program ends.
namespace gvt::common {

QString readConfig(const QString& name);

// Sets a value; saveConfig() saves every value set since the last save, in one write. False
// when they could not be saved (the settings folder cannot be written).
void writeConfig(const QString& name, const QString& value);
[[nodiscard]] bool saveConfig();

// The folder the values are saved in, to name it when it cannot be written.
QString configFolder();

} // namespace gvt::common
