// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Path texts of the game's own platform ("C:\Games\…", "\\server\share\…") and where they lead
// on this machine: through the drives of a Wine prefix.
namespace gvt::platform {

// True when the text begins with a drive letter and a colon ("C:\Games\...").
bool isDrivePathText(const QString& text);
// True for a drive path or a network path ("\\server\share\..."): a text that names a place
// through a Wine prefix, not a path of this machine.
bool isWindowsPathText(const QString& text);

// The folder a drive letter of a prefix stands for: its "dosdevices" link ("c:").
QString driveFolderOf(QChar letter, const QString& prefix);

// The path on this machine, as its bytes, of a path text in `prefix`: a drive path starts at
// that prefix's link for its drive, a network path at its "dosdevices/unc"; "." and ".." are
// taken away in the text first, never above the drive's root. A path of this machine is found
// as it is. Each component is found without regard to case. A text that starts with a single
// backslash (the root of the current drive, which this program does not have) gives nothing.
QByteArray resolvePathIn(const QString& text, const QString& prefix);

} // namespace gvt::platform
