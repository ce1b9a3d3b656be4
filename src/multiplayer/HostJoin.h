// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace gvt::multiplayer {

// The argument text after "<game folder>\gvtarsis.exe" for hosting a server.
QString hostArguments(const QString& modFolder);

// ... and for joining one; the password always stands between braces.
QString joinArguments(const QString& modFolder, const QString& address, bool internet,
                      const QString& password);

inline constexpr auto kAddressMessage = "You have to enter a valid IP address";

} // namespace gvt::multiplayer
