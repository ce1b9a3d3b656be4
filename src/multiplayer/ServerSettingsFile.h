// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "multiplayer/MultiplayerForm.h"

class QWidget;

namespace gvt::platform {
struct GameInstall;
}

namespace gvt::multiplayer {

inline constexpr int kServerSettingsLineCount = 39;

// "<game folder>\Mods\gvtarsis\Settings\ServerSettings.con"
QString serverSettingsPath(const QString& gameFolder);

// Reads the 39 lines into the form; tells the user when the file cannot be read, and then
// keeps the lines of the last successful read.
void readServerSettings(const platform::GameInstall& game, MultiplayerForm& form, QWidget* owner);

// The 39 lines to write: 14 generated from the form at their fixed positions, the other 25 as
// read. Slider values are the positions of the sliders at Start.
common::Lines serverSettingsLines(const MultiplayerForm& form);

// Rewrites ServerSettings.con; tells the user when the file cannot be written (it then stays
// as it was).
void writeServerSettings(const platform::GameInstall& game, const MultiplayerForm& form,
                         QWidget* owner);

} // namespace gvt::multiplayer
