#include "common/Config.h"

#include "platform/Registry.h"

namespace gvt::common {

QString readConfig(const QString& name) {
    return platform::readConfigValue(name);
}

bool writeConfig(const QString& name, const QString& value) {
    return platform::writeConfigValue(name, value);
}

QString configFolder() {
    return platform::configFolder();
}

} // namespace gvt::common
