// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace gvt::platform {

// Where the program keeps what must outlive a crash or a run (recovery records, the record of
// the last start): $XDG_STATE_HOME/gvtarsis-modmanager, else ~/.local/state/gvtarsis-modmanager.
QString stateFolder();

} // namespace gvt::platform
