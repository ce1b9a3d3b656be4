// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ConfigSection.h"

#include "common/Config.h"
#include "ui/MessageBox.h"

namespace gvt::settings {

QString ConfigSection::read(const char* name) const {
    return common::readConfig(QString::fromLatin1(name));
}

void ConfigSection::write(const char* name, const QString& value) {
    common::writeConfig(QString::fromLatin1(name), value);
}

void ConfigSection::save(QWidget* owner) {
    if (common::saveConfig() || m_toldUnwritable)
        return;
    m_toldUnwritable = true;
    ui::showMessage(owner,
                    QStringLiteral("The folder \"%1\" cannot be written, so the Mod Manager "
                                   "cannot remember your settings. They are kept until it closes.")
                        .arg(common::configFolder()),
                    ui::MessageIcon::Exclamation);
}

} // namespace gvt::settings
