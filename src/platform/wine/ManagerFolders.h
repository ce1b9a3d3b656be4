// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The file access of the game managers' readers: small, and never a hang on a strange file.
namespace gvt::platform {

// A manager's file: a regular file of at most 16 MiB (a pipe or a device is not waited on).
std::optional<QByteArray> readManagerFile(const QString& path);

// The names in a folder that end in `suffix` (every name but "." and ".." when empty), in the
// order of their bytes.
QStringList entriesOf(const QString& folder, const QString& suffix = {});

bool isFolder(const QString& path);
bool isExecutableFile(const QString& path);

// A folder as a manager wrote it: "~/" stands for the home folder; anything that is not an
// absolute path gives the empty text.
QString absolutePathOf(const QString& text, const QString& home);

} // namespace gvt::platform
