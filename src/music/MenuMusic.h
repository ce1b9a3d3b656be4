// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/LineFile.h"

#include <QString>

namespace gvt::music {

inline constexpr int kInitLineCount = 10;

// "<game folder>\Mods\GvTarsis\Init.con"
QString initConPath(const QString& gameFolder);

// The name shown for Init.con's menu music line: the line without its key and quote
// (27 characters) and "music/" (6), with ".bik" appended and every double quote removed.
QString menuMusicNameFrom(const QByteArray& line);

// The menu music line for a chosen file name: its last four characters are dropped.
QByteArray menuMusicLine(const QString& chosenName);

} // namespace gvt::music
