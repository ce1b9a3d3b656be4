// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

namespace gvt::platform {

// The program's own remembered values: section "Config" of organisation
// "GVTarsis Mod Manager", application = the executable's name without extension.
// A missing value reads as the empty text. Values are set in memory and saved together, once
// for each thing the user does: a save writes the settings file once. A value that could not
// be saved (false) is still read back until the program ends, and saved with the next.
QString readConfigValue(const QString& name);
void setConfigValue(const QString& name, const QString& value);
bool saveConfigValues();

// A value of a settings file as its text: one the file split at its commas joined back.
QString settingsText(const QVariant& value);

// The folder the "Config" values are saved in.
QString configFolder();

} // namespace gvt::platform
