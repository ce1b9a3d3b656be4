#include "settings/IntroMovies.h"

#include "common/FileErrorText.h"
#include "platform/FileRename.h"
#include "platform/Registry.h"
#include "ui/MessageBox.h"

namespace gvt::settings {

void switchIntroMovies(bool disable, QWidget* owner) {
    const QString gameFolder = platform::readConfigValue(QStringLiteral("Path"));
    const QString from = disable ? QStringLiteral(".bik") : QStringLiteral(".bak");
    const QString to = disable ? QStringLiteral(".bak") : QStringLiteral(".bik");
    for (const char* movie : {"Brume", "Oxley", "Intro", "Legal"}) {
        const QString base = gameFolder + QStringLiteral("\\Movies\\") + QString::fromLatin1(movie);
        if (const auto error = platform::renameFile(base + from, base + to)) {
            ui::showMessage(owner, common::renameFailureMessage(*error),
                            ui::MessageIcon::Exclamation);
            return;
        }
    }
    platform::writeConfigValue(QStringLiteral("Movies"),
                               disable ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace gvt::settings
