// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace gvt::ui {

enum class MessageIcon { Information, Exclamation };

// Every message of the program: a modal box titled "Error" with one OK button.
void showMessage(QWidget* owner, const QString& text, MessageIcon icon);

// Tests record the messages instead of blocking on a modal box. An empty capture restores
// the real box.
using MessageCapture = std::function<void(QWidget* owner, const QString& text, MessageIcon)>;
void setMessageCapture(MessageCapture capture);

// A question with the buttons Yes and No, No the default, titled as the dialog that asks;
// Escape and the close box answer No. True for Yes.
bool askYesNo(QWidget* owner, const QString& title, const QString& text);

// Tests answer the questions instead of a user; an empty capture restores the real box.
using QuestionCapture = std::function<bool(QWidget* owner, const QString& text)>;
void setQuestionCapture(QuestionCapture capture);

} // namespace gvt::ui
