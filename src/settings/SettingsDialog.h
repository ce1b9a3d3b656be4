#pragma once

#include <QString>

class QWidget;

namespace gvt::settings {

class SettingsDialog {
public:
    void run(QWidget* owner);
    void run(QWidget* owner, const QString& profile);
};

} // namespace gvt::settings
