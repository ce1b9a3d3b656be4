// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MessageBox.h"

#include <QMessageBox>

namespace gvt::ui {

namespace {
MessageCapture& capture() {
    static MessageCapture instance;
    return instance;
}
QuestionCapture& questionCapture() {
    static QuestionCapture instance;
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

bool askYesNo(QWidget* owner, const QString& title, const QString& text) {
    if (questionCapture())
        return questionCapture()(owner, text);
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void setQuestionCapture(QuestionCapture newCapture) {
    questionCapture() = std::move(newCapture);
}

} // namespace gvt::ui
