// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace gvt::settings {

// The "Config" values the Settings dialog keeps: written in memory, and saved once at the end of
// each thing the user does. When they cannot be saved, the user is told once, naming the
// folder; the values are still read back until the program ends.
class ConfigSection {
public:
    QString read(const char* name) const;
    void write(const char* name, const QString& value);
    void save(QWidget* owner);

private:
    bool m_toldUnwritable = false;
};

} // namespace gvt::settings
