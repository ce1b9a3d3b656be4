// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MessageBox.h"

#include <QMessageBox>

namespace gvt::ui {

namespace {
MessageCapture& capture() {
    static MessageCapture instance;
    return instance;
}
} // namespace

void showMessage(QWidget* owner, const QString& text, MessageIcon icon) {
    if (capture()) {
        capture()(owner, text, icon);
        return;
    }
    QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information
                                                     : QMessageBox::Warning,
                    QStringLiteral("Error"), text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void setMessageCapture(MessageCapture newCapture) {
    capture() = std::move(newCapture);
}

} // namespace gvt::ui
