// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <memory>

namespace gvt::ui {

// A dialog with the program's keyboard rules: Escape closes it; Enter presses the push button
// that has the focus and otherwise closes the dialog as OK. No push button is a default button.
class ModalDialog : public QDialog {
    Q_OBJECT
public:
    explicit ModalDialog(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

    // Turns autoDefault off on every push button below this dialog.
    void clearDefaultButtons();
};

// The window of an editor dialog: built anew at every opening, kept until it closes.
template <class Window> class WindowSlot {
public:
    template <class... Args> Window& open(Args&&... args) {
        m_window.reset();
        m_window = std::make_unique<Window>(std::forward<Args>(args)...);
        return *m_window;
    }
    // Runs the opened window modally and discards it when it closes.
    void runModal() {
        m_window->exec();
        m_window.reset();
    }
    Window* get() const { return m_window.get(); }

private:
    std::unique_ptr<Window> m_window;
};

} // namespace gvt::ui
