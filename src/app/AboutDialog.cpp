// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AboutDialog.h"

#include "app/AppIcon.h"

#include "ui_AboutDialog.h"

namespace gvt::app {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::AboutDialogUi>()) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    m_ui->creditsLabel->setText(
        QStringLiteral("GVTarsis Mod Manager 1.2\n\n"
                       "Launches Grimvale Tarsis with the mod of your choice, hosts and joins "
                       "networked games, and edits profiles, intro movies and music.\n\n"
                       "Written by the GVTarsis Mod Manager team & friends."));
    m_ui->contactLabel->setText(QStringLiteral("Contact: modmanager@gvtarsis.example"));
    m_ui->iconLabel->setPixmap(appIcon().pixmap(QSize(32, 32), devicePixelRatioF()));
}

AboutDialog::~AboutDialog() = default;

} // namespace gvt::app
