// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace gvt::platform {
struct GameInstall;
}

namespace gvt::settings {

class ConfigSection;

// Renames the four intro movies of "<"Config" Path>\Movies" from ".bik" to ".bak" (disable)
// or back, in the order Brume, Oxley, Intro, Legal. A failed rename is reported and ends the
// switch there; "Config" "Movies" is written only when all four succeeded.
void switchIntroMovies(const platform::GameInstall& game, bool disable, ConfigSection& config,
                       QWidget* owner);

} // namespace gvt::settings
