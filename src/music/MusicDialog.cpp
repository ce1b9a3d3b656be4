#include "music/MusicDialog.h"

#include "ui/ModalDialog.h"

namespace gvt::music {

void MusicDialog::run(QWidget* owner) {
    ui::ModalDialog window(owner);
    window.setWindowTitle(QStringLiteral("Change Music"));
    window.exec();
}

} // namespace gvt::music
