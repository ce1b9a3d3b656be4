#include "settings/SettingsDialog.h"

#include "ui/ModalDialog.h"

namespace gvt::settings {

void SettingsDialog::run(QWidget* owner) {
    ui::ModalDialog window(owner);
    window.setWindowTitle(QStringLiteral("Settings"));
    window.exec();
}

void SettingsDialog::run(QWidget* owner, const QString&) {
    run(owner);
}

} // namespace gvt::settings
