// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/StateFolder.h"

#include "platform/files/FileName.h"

#include <QDir>

namespace gvt::platform {

QString stateFolder() {
    // Read as each save needs it: a test, or a user, may point it elsewhere meanwhile.
    QString state = textOfFileName(qgetenv("XDG_STATE_HOME"));
    if (!state.startsWith(u'/')) {
        const QString home = textOfFileName(qgetenv("HOME"));
        state = (home.startsWith(u'/') ? home : QDir::homePath()) + QStringLiteral("/.local/state");
    }
    return state + QStringLiteral("/gvtarsis-modmanager");
}

} // namespace gvt::platform
