// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

namespace gvt::common {

// The lines that differ between two contents of a game file, as a unified difference: hunks
// headed "@@ -line,count +line,count @@", their lines marked "-" (before), "+" (after) or " "
// (both), with three lines of both around each change, read in the game's code page. A changed
// line that does not end in CR LF says how it ends ("[LF]", "[no line end]"), since a line end
// alone may be what changed. Lines beyond `maxLines` of the difference are told as a count.
QString lineDifference(QByteArrayView before, QByteArrayView after, int maxLines = 2000);

} // namespace gvt::common
