// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class AboutDialogUi;
}

namespace gvt::app {

// The About box: credits, a contact line, the icon and OK. Built anew for each opening.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
    ~AboutDialog() override;

private:
    std::unique_ptr<Ui::AboutDialogUi> m_ui;
};

} // namespace gvt::app
