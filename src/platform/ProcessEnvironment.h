// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

namespace gvt::platform {

// A process environment as "NAME=value" entries, bytes as they are.
using Environment = QList<QByteArray>;

// This process's environment.
Environment environmentOfThisProcess();

// A variable's value, or nothing when it is not set.
std::optional<QByteArray> valueIn(const Environment& environment, QByteArrayView name);
// Sets a variable (replacing it where it is), or takes it out.
void setVariable(Environment& environment, const QByteArray& name, const QByteArray& value);
void removeVariable(Environment& environment, QByteArrayView name);

} // namespace gvt::platform
