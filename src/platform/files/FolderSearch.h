// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace gvt::platform {

struct FoundEntry {
    QString name;  // as stored on disk
    bool isFolder; // a link to a folder counts as a folder
};

// Searches a folder (a path of this machine, as its bytes) for the names that match `pattern`,
// which may hold `*` and `?`, without regard to case; "*.*" matches every name. "." and ".."
// and hidden entries are reported.
// Results are ordered by name compared ordinally after upper-casing, the order of the game's
// own platform, so that "search order" is the same on every machine.
QList<FoundEntry> findEntries(QByteArray folder, const QString& pattern);

// True when `name` matches the wildcard pattern without regard to case.
bool matchesPattern(const QString& pattern, const QString& name);

} // namespace gvt::platform
