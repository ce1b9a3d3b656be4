#include "multiplayer/MultiplayerDialog.h"

#include "ui/ModalDialog.h"

namespace gvt::multiplayer {

void MultiplayerDialog::run(QWidget* owner) {
    ui::ModalDialog window(owner);
    window.setWindowTitle(QStringLiteral("Multiplayer"));
    window.exec();
}

} // namespace gvt::multiplayer
