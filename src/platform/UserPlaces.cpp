// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/UserPlaces.h"

#include "platform/files/FileName.h"

#include <QDir>

namespace gvt::platform {

UserPlaces UserPlaces::ofThisUser() {
    const auto folder = [](const char* name, const QString& fallback) {
        const QString value = textOfFileName(qgetenv(name));
        return value.startsWith(u'/') ? value : fallback;
    };
    UserPlaces places;
    places.home = folder("HOME", QDir::homePath());
    places.configHome = folder("XDG_CONFIG_HOME", places.home + QStringLiteral("/.config"));
    places.dataHome = folder("XDG_DATA_HOME", places.home + QStringLiteral("/.local/share"));
    places.winePrefix = textOfFileName(qgetenv("WINEPREFIX"));
    places.wine = textOfFileName(qgetenv("WINE"));
    return places;
}

} // namespace gvt::platform
