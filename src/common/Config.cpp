// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Config.h"

#include "platform/ProgramSettings.h"

namespace gvt::common {

QString readConfig(const QString& name) {
    return platform::readConfigValue(name);
}

void writeConfig(const QString& name, const QString& value) {
    platform::setConfigValue(name, value);
}

bool saveConfig() {
    return platform::saveConfigValues();
}

QString configFolder() {
    return platform::configFolder();
}

} // namespace gvt::common
