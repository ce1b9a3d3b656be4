// SPDX-License-Identifier: GPL-3.0-or-later
#include "multiplayer/HostJoin.h"

namespace gvt::multiplayer {

QString hostArguments(const QString& modFolder) {
    return QStringLiteral("+game ") + modFolder + QStringLiteral(" +restart 1 ") +
           QStringLiteral("+hostServer 1");
}

QString joinArguments(const QString& modFolder, const QString& address, bool internet,
                      const QString& password) {
    return QStringLiteral("+game ") + modFolder + QStringLiteral(" +restart 1 ") +
           QStringLiteral("+joinServer ") + address +
           (internet ? QStringLiteral(" +isInternet 1") : QStringLiteral(" +IsInternet 0")) +
           QStringLiteral(" +password {") + password + QStringLiteral("}");
}

} // namespace gvt::multiplayer
