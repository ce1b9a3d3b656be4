// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Command texts as the game managers write them into their settings (a prefix command, a
// wrapper's arguments, Steam's launch options): split into words as a POSIX shell splits them,
// and words quoted back so that a shell reads them as they are.
namespace gvt::platform {

// The words of a text: blanks separate; single quotes keep everything; double quotes keep all
// but a backslash before $ ` " \ or a line end; a backslash outside quotes keeps the next
// character. Nothing when a quote is never closed.
std::optional<QStringList> splitShellWords(const QString& text);

// $NAME and ${NAME} replaced by what `lookup` gives; a name it has no value for is replaced by
// `unknown` (nothing, or the text as it stood).
enum class UnknownVariable { Empty, Kept };
QString expandVariables(const QString& text,
                        const std::function<std::optional<QString>(const QString&)>& lookup,
                        UnknownVariable unknown);

// A word as POSIX sh reads back exactly these bytes: as it is when it holds nothing special,
// else in single quotes.
QByteArray shellQuoted(const QByteArray& word);

// True for a name a shell takes as a variable ("NAME=value" words before a command).
bool isVariableName(QStringView name);

} // namespace gvt::platform
