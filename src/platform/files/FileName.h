// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names on this machine are bytes, most of them UTF-8; the program holds them as texts.
// A byte that is not part of valid UTF-8 becomes a lone surrogate, U+DC80 + byte, so that
// every name found comes back byte for byte when it is used again.
namespace gvt::platform {

QString textOfFileName(QByteArrayView bytes);
QByteArray fileNameOfText(QStringView text);

// The folder of a path on this machine, as its bytes: the part before its last "/" ("/" for
// what lies at the root).
QByteArray folderOfPath(const QByteArray& path);

// A name as the user sees it: each byte that is not UTF-8 shown as "\xff".
QString shownFileName(const QString& text);

} // namespace gvt::platform
