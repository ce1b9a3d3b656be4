// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace gvt::app {

// The program's icon in the sizes a window shows, and twice those for screens of scale 2: small
// files decode fast while the program starts (the large one is for the desktop's menu).
QIcon appIcon();

} // namespace gvt::app
