// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

#include <QStringList>

namespace gvt::platform {

// What the game's parser sees of an unquoted command line: words split at blanks.
QStringList splitArgumentWords(const QString& argumentText);

// Starts the game detached, never through a shell, in the launcher's current directory. A
// drive or network path, a Windows program (whatever its mode) and a file that is not executable
// go through Wine in the game's prefix, as its manager starts a program there, under a UTF-8
// character set.
class DetachedProcessStarter final : public ProcessStarter {
public:
    StartResult start(const GameInstall& game, const QString& executableText,
                      const QString& argumentText) override;
};

} // namespace gvt::platform
