#pragma once

#include <QDialog>

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

} // namespace gvt::ui
