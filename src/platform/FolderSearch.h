// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace gvt::platform {

struct FoundEntry {
    QString name;  // as stored on disk
    bool isFolder; // a link to a folder counts as a folder
};

// Searches with a pattern text whose last component may hold `*` and `?`, matching without
// regard to case; "*.*" matches every name. "." and ".." and hidden entries are reported.
// Results are ordered by name compared ordinally after upper-casing, the order of the game's
// own platform, so that "search order" is the same on every machine.
QList<FoundEntry> findEntries(const QString& patternText);

// True when `name` matches the wildcard pattern without regard to case.
bool matchesPattern(const QString& pattern, const QString& name);

} // namespace gvt::platform
