// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppIcon.h"

namespace gvt::app {

QIcon appIcon() {
    QIcon icon;
    for (const char* size : {"16", "32", "48", "64", "96"})
        icon.addFile(QStringLiteral(":/images/icon-%1.png").arg(QLatin1StringView(size)));
    return icon;
}

} // namespace gvt::app
