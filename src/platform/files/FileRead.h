// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace gvt::platform {

// The whole content of a game's regular file (a path on this machine, as its bytes), or false
// when it cannot be read. A rewrite of it that a crash interrupted is put right first.
bool readWholeFile(const QByteArray& path, QByteArray& content);

} // namespace gvt::platform
