// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProcessEnvironment.h"

extern char** environ;

namespace gvt::platform {

namespace {

bool names(const QByteArray& entry, QByteArrayView name) {
    return entry.size() > name.size() && entry.startsWith(name) && entry[name.size()] == '=';
}

} // namespace

Environment environmentOfThisProcess() {
    Environment environment;
    for (char** entry = environ; entry && *entry; ++entry)
        environment.append(QByteArray(*entry));
    return environment;
}

std::optional<QByteArray> valueIn(const Environment& environment, QByteArrayView name) {
    for (const QByteArray& entry : environment) {
        if (names(entry, name))
            return entry.mid(name.size() + 1);
    }
    return std::nullopt;
}

void setVariable(Environment& environment, const QByteArray& name, const QByteArray& value) {
    for (QByteArray& entry : environment) {
        if (names(entry, name)) {
            entry = name + '=' + value;
            return;
        }
    }
    environment.append(name + '=' + value);
}

void removeVariable(Environment& environment, QByteArrayView name) {
    environment.removeIf([&](const QByteArray& entry) { return names(entry, name); });
}

} // namespace gvt::platform
