// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ModalDialog.h"

#include <QKeyEvent>
#include <QPushButton>

namespace gvt::ui {

ModalDialog::ModalDialog(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
}

void ModalDialog::clearDefaultButtons() {
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void ModalDialog::showEvent(QShowEvent* event) {
    clearDefaultButtons();
    QDialog::showEvent(event);
}

void ModalDialog::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            if (button->isEnabled())
                button->click();
        } else {
            accept();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace gvt::ui
